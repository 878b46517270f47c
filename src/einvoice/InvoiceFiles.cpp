#include "einvoice/InvoiceFiles.h"

#include "einvoice/InvoiceXml.h"
#include "platform/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>

namespace velcaris::einvoice {

namespace {

constexpr int kDeepestEnvelope = 3;
constexpr qint64 kLargestFile = 64LL * 1024 * 1024;

bool endsWith(const QString& name, const char* suffix)
{
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

// The DER bytes of an envelope received in base64 (with or without PEM lines).
QByteArray derOf(const QByteArray& bytes)
{
    if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.at(0)) == 0x30)
        return bytes;
    QByteArray text;
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("-----"))
            continue;
        text += trimmed;
    }
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

std::optional<QByteArray> openEnvelope(const QByteArray& bytes, QString* reason)
{
    const QByteArray der = derOf(bytes);
    if (der.isEmpty()) {
        *reason = QStringLiteral("Il file firmato non è una busta PKCS#7 né in binario né in base64.");
        return std::nullopt;
    }
    BIO* bio = BIO_new_mem_buf(der.constData(), static_cast<int>(der.size()));
    if (!bio) {
        *reason = QStringLiteral("Memoria insufficiente per aprire il file firmato.");
        return std::nullopt;
    }
    CMS_ContentInfo* cms = d2i_CMS_bio(bio, nullptr);
    BIO_free(bio);
    if (!cms) {
        ERR_clear_error();
        *reason = QStringLiteral("Il file firmato è danneggiato: la busta PKCS#7 non può essere letta.");
        return std::nullopt;
    }
    std::optional<QByteArray> out;
    ASN1_OCTET_STRING** content = CMS_get0_content(cms);
    if (!content || !*content) {
        *reason = QStringLiteral("Il file firmato non contiene la fattura (la firma è separata dal documento).");
    } else {
        const unsigned char* data = ASN1_STRING_get0_data(*content);
        const int length = ASN1_STRING_length(*content);
        out = QByteArray(reinterpret_cast<const char*>(data), length);
    }
    CMS_ContentInfo_free(cms);
    ERR_clear_error();
    return out;
}

bool looksLikeXml(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(64).trimmed();
    return head.startsWith('<') || head.startsWith("\xEF\xBB\xBF<");
}

void addXml(const QString& file, const QString& fileName, const QByteArray& original, const QByteArray& xml,
            ReadBatch& batch)
{
    const ParsedXml parsed = parseInvoiceXml(xml);
    if (!parsed.ok()) {
        batch.refused.push_back({file, parsed.refusal});
        return;
    }
    int body = 0;
    for (const Invoice& invoice : parsed.invoices)
        batch.invoices.push_back({file, fileName, original, ++body, invoice});
}

void readSingle(const QString& file, const QString& fileName, const QByteArray& bytes, ReadBatch& batch)
{
    if (bytes.size() > kLargestFile) {
        batch.refused.push_back({file, QStringLiteral("Il file è troppo grande per essere una fattura.")});
        return;
    }
    if (endsWith(fileName, ".p7m")) {
        QString reason;
        const std::optional<QByteArray> content = signedContent(bytes, &reason);
        if (!content)
            batch.refused.push_back({file, reason});
        else
            addXml(file, fileName, bytes, *content, batch);
        return;
    }
    if (endsWith(fileName, ".xml")) {
        addXml(file, fileName, bytes, bytes, batch);
        return;
    }
    batch.refused.push_back(
        {file, QStringLiteral("Il file non è una fattura elettronica (.xml o .xml.p7m) né un archivio .zip.")});
}

} // namespace

std::optional<QByteArray> signedContent(const QByteArray& p7m, QString* reason)
{
    QString ignored;
    QString& why = reason ? *reason : ignored;
    QByteArray content = p7m;
    for (int level = 0; level < kDeepestEnvelope && !looksLikeXml(content); ++level) {
        const std::optional<QByteArray> inner = openEnvelope(content, &why);
        if (!inner)
            return std::nullopt;
        content = *inner;
    }
    if (!looksLikeXml(content)) {
        why = QStringLiteral("Il contenuto del file firmato non è una fattura elettronica.");
        return std::nullopt;
    }
    return content;
}

void readInvoiceFile(const QString& name, const QByteArray& bytes, ReadBatch& batch)
{
    const QString fileName = QFileInfo(name).fileName();
    if (!endsWith(fileName, ".zip")) {
        readSingle(fileName, fileName, bytes, batch);
        return;
    }
    QString error;
    const std::optional<platform::ZipArchive> zip = platform::ZipArchive::open(bytes, &error);
    if (!zip) {
        batch.refused.push_back({fileName, error});
        return;
    }
    const QStringList entries = zip->names();
    if (entries.isEmpty())
        batch.refused.push_back({fileName, QStringLiteral("L'archivio non contiene alcun file.")});
    for (const QString& entry : entries) {
        const QString entryName = QFileInfo(entry).fileName();
        const QString shown = fileName + QStringLiteral(": ") + entry;
        if (endsWith(entryName, ".zip")) {
            batch.refused.push_back({shown, QStringLiteral("Un archivio dentro l'archivio non viene aperto: estrarlo prima.")});
            continue;
        }
        if (!endsWith(entryName, ".xml") && !endsWith(entryName, ".p7m")) {
            batch.refused.push_back(
                {shown, QStringLiteral("Il file non è una fattura elettronica (.xml o .xml.p7m).")});
            continue;
        }
        const std::optional<QByteArray> content = zip->read(entry, kLargestFile, &error);
        if (!content) {
            batch.refused.push_back({shown, error});
            continue;
        }
        readSingle(shown, entryName, *content, batch);
    }
}

ReadBatch readInvoicePaths(const QStringList& paths)
{
    ReadBatch batch;
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QFileInfoList found = QDir(path).entryInfoList(
                {QStringLiteral("*.xml"), QStringLiteral("*.p7m"), QStringLiteral("*.zip"), QStringLiteral("*.XML"),
                 QStringLiteral("*.P7M"), QStringLiteral("*.ZIP")},
                QDir::Files, QDir::Name);
            for (const QFileInfo& f : found)
                files << f.absoluteFilePath();
        } else {
            files << path;
        }
    }
    files.removeDuplicates();
    for (const QString& path : files) {
        QFile file(path);
        if (QFileInfo(path).size() > kLargestFile) {
            batch.refused.push_back({QFileInfo(path).fileName(), QStringLiteral("Il file è troppo grande per essere una fattura.")});
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            batch.refused.push_back({QFileInfo(path).fileName(), QStringLiteral("Il file non può essere aperto.")});
            continue;
        }
        readInvoiceFile(path, file.readAll(), batch);
    }
    return batch;
}

} // namespace velcaris::einvoice
