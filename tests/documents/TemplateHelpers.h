#pragma once
// Templates in the shapes word processors write, and merge helpers for the engine's tests.
#include "documents/RtfReader.h"
#include "documents/RtfReport.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <ostream>


namespace velcaris::test {

// A document with the header a word processor writes (font table, colour table, style sheet,
// information group) around the given body.
inline QByteArray wordDocument(const QByteArray& body)
{
    return QByteArray(
               "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\stshfdbch0\\deflang1040"
               "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
               "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
               "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
               "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}{\\*\\cs10 \\additive Default Paragraph Font;}}\r\n"
               "{\\*\\rsidtbl \\rsid1050331\\rsid2}{\\info{\\author Amministratore \\\\x\\\\}{\\creatim\\yr2024\\mo3\\dy7}}\r\n"
               "\\paperw11906\\paperh16838\\margl1134\\margr1134 \\pard\\plain \\ltrpar\\ql \\f0\\fs24 ")
        + body + QByteArray("\r\n\\par }");
}

// Each visible character of `text` as Word writes a run split by revision marks:
// {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid2 x}. Backslashes become \\.
inline QByteArray splitRuns(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        out += "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid2 ";
        out += c == QLatin1Char('\\') ? QByteArray("\\\\") : documents::rtf::escapeText(QString(c));
        out += "}";
    }
    return out;
}

// Merges and checks the output is RTF that parses (balanced groups); returns the output.
inline QByteArray merge(documents::TRtfReport& r, const QByteArray& templ,
                        const QVector<documents::RecordSource*>& ds = {})
{
    const QByteArray out = r.MergeBytes(templ, ds);
    documents::rtf::parse(out); // raises on unbalanced output
    return out;
}

// The visible text of the body (everything after the header's last "\fs24 "), trimmed.
inline QString visible(const QByteArray& rtf)
{
    return documents::rtf::plainText(rtf).trimmed();
}

inline QString mergeText(documents::TRtfReport& r, const QByteArray& body,
                         const QVector<documents::RecordSource*>& ds = {})
{
    return visible(merge(r, wordDocument(body), ds));
}

// The message of the ReportError raised by f, or "" when none.
template <typename F>
QString errorOf(F f)
{
    try {
        f();
    } catch (const documents::ReportError& e) {
        return e.message();
    }
    return QString();
}

} // namespace velcaris::test
