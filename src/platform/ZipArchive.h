#pragma once
// Reading zip archives held in memory: the e-invoice batches that suppliers' portals hand out and
// the office spreadsheets (.xlsx, .ods), which are zipped XML. Built on libzip. Every entry is
// read with a size limit, so a crafted archive cannot fill the memory, and every fault comes
// back as an Italian message, never as an exception or a crash.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace velcaris::platform {

class ZipArchive {
public:
    // The largest entry read unless the caller asks for less (64 MiB).
    static constexpr qint64 DefaultEntryLimit = 64LL * 1024 * 1024;

    // Opens the archive in `bytes` (copied). Empty, with `error` set, when the bytes are not a
    // readable zip archive.
    static std::optional<ZipArchive> open(const QByteArray& bytes, QString* error = nullptr);
    // Reads the archive file at `path`.
    static std::optional<ZipArchive> openFile(const QString& path, QString* error = nullptr);

    ZipArchive(ZipArchive&&) noexcept;
    ZipArchive& operator=(ZipArchive&&) noexcept;
    ~ZipArchive();

    // The names of the file entries, in the archive's order (folders left out).
    QStringList names() const;
    bool contains(const QString& name) const;
    // The whole content of the entry `name`; empty, with `error` set, when the entry is missing,
    // damaged, encrypted or larger than `limit` bytes.
    std::optional<QByteArray> read(const QString& name, qint64 limit = DefaultEntryLimit,
                                   QString* error = nullptr) const;

private:
    struct Impl;
    explicit ZipArchive(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace velcaris::platform
