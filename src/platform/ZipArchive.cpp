#include "platform/ZipArchive.h"

#include <QFile>
#include <zip.h>

namespace velcaris::platform {

struct ZipArchive::Impl {
    QByteArray bytes; // libzip reads from this buffer for as long as the archive is open
    zip_t* zip = nullptr;
    ~Impl()
    {
        if (zip)
            zip_discard(zip);
    }
};

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

ZipArchive::ZipArchive(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ZipArchive::ZipArchive(ZipArchive&&) noexcept = default;
ZipArchive& ZipArchive::operator=(ZipArchive&&) noexcept = default;
ZipArchive::~ZipArchive() = default;

std::optional<ZipArchive> ZipArchive::open(const QByteArray& bytes, QString* error)
{
    if (bytes.isEmpty()) {
        setError(error, QStringLiteral("L'archivio è vuoto."));
        return std::nullopt;
    }
    auto impl = std::make_unique<Impl>();
    impl->bytes = bytes;
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* source = zip_source_buffer_create(impl->bytes.constData(),
                                                    static_cast<zip_uint64_t>(impl->bytes.size()), 0, &zerr);
    if (!source) {
        zip_error_fini(&zerr);
        setError(error, QStringLiteral("L'archivio non può essere letto."));
        return std::nullopt;
    }
    impl->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zerr);
    if (!impl->zip) {
        zip_source_free(source);
        zip_error_fini(&zerr);
        setError(error, QStringLiteral("Il file non è un archivio zip leggibile."));
        return std::nullopt;
    }
    zip_error_fini(&zerr);
    return ZipArchive(std::move(impl));
}

std::optional<ZipArchive> ZipArchive::openFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Il file %1 non può essere aperto.").arg(path));
        return std::nullopt;
    }
    return open(file.readAll(), error);
}

QStringList ZipArchive::names() const
{
    QStringList out;
    const zip_int64_t count = zip_get_num_entries(impl_->zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(impl_->zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (!name)
            continue;
        const QString text = QString::fromUtf8(name);
        if (!text.endsWith(QLatin1Char('/')))
            out << text;
    }
    return out;
}

bool ZipArchive::contains(const QString& name) const
{
    return zip_name_locate(impl_->zip, name.toUtf8().constData(), ZIP_FL_ENC_GUESS) >= 0;
}

std::optional<QByteArray> ZipArchive::read(const QString& name, qint64 limit, QString* error) const
{
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t index = zip_name_locate(impl_->zip, utf8.constData(), ZIP_FL_ENC_GUESS);
    if (index < 0) {
        setError(error, QStringLiteral("L'archivio non contiene %1.").arg(name));
        return std::nullopt;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(impl_->zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        setError(error, QStringLiteral("La voce %1 dell'archivio è danneggiata.").arg(name));
        return std::nullopt;
    }
    if (st.size > static_cast<zip_uint64_t>(limit)) {
        setError(error, QStringLiteral("La voce %1 dell'archivio è troppo grande.").arg(name));
        return std::nullopt;
    }
    zip_file_t* file = zip_fopen_index(impl_->zip, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        setError(error, QStringLiteral("La voce %1 dell'archivio non può essere letta (cifrata o compressa in un modo "
                                       "non supportato).").arg(name));
        return std::nullopt;
    }
    QByteArray data;
    data.resize(static_cast<qsizetype>(st.size));
    zip_int64_t total = 0;
    while (total < static_cast<zip_int64_t>(st.size)) {
        const zip_int64_t got = zip_fread(file, data.data() + total, st.size - static_cast<zip_uint64_t>(total));
        if (got <= 0)
            break;
        total += got;
    }
    // One byte more than announced means the header lies about the size: refused as damaged.
    char extra;
    const bool overrun = zip_fread(file, &extra, 1) > 0;
    const bool failed = zip_fclose(file) != 0;
    if (total != static_cast<zip_int64_t>(st.size) || overrun || failed) {
        setError(error, QStringLiteral("La voce %1 dell'archivio è danneggiata.").arg(name));
        return std::nullopt;
    }
    return data;
}

} // namespace velcaris::platform
