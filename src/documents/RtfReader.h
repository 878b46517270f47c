#pragma once
// Reading and writing RTF at the level the template engine needs: the source split into
// tokens (groups, control words and symbols, visible characters, binary data), each with its
// byte range, so that the visible text can be mapped back to the source it came from.
#include <QByteArray>
#include <QString>
#include <vector>

namespace velcaris::documents::rtf {

enum class Tok : quint8 {
    Open,    // {
    Close,   // }
    Word,    // a control word that produces no visible character (\b, \f1, \pard ...)
    Symbol,  // a control symbol that produces none (\*, \-, \|, ...)
    Char,    // one visible character: text, \\, \{, \}, \'xx, \uN (with its fallback), \tab ...
    Break,   // a visible line or paragraph end: \par, \line, \page, \sect, \cell, \row
    Hidden,  // text of a destination that is not shown (font table, pictures, fields' codes),
             // ignored line ends, and bytes after the document's closing brace
    Bin,     // the bytes of \binN
};

struct Token {
    int start = 0; // byte range [start, end) of the source
    int end = 0;
    Tok kind = Tok::Hidden;
    bool bare = false;  // a control word ended without its blank: a following letter, digit,
                        // hyphen or blank would be read as part of it
    char16_t ch = 0;    // Char: the character (UTF-16 unit); Break: '\n'
};

struct Document {
    QByteArray source;
    std::vector<Token> tokens; // contiguous, covering the whole source
};

// Splits RTF text into tokens. Raises ReportError with an Italian text for a truncated source,
// unbalanced braces, a broken escape or text after the document's closing brace.
Document parse(const QByteArray& rtf);

// The visible text, paragraph and line ends as '\n'.
QString plainText(const QByteArray& rtf);

// Text as RTF: backslash and braces escaped, line breaks as \line, tabs as \tab, characters
// beyond ASCII as \uN with an ASCII fallback. The result never carries a control word of the
// text's own, so inserted values cannot change the document's structure.
QByteArray escapeText(const QString& text);

// True when a byte written right after a control word without its blank would be read as
// part of that word (so a blank must be put between them).
inline bool extendsControlWord(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ' ';
}

} // namespace velcaris::documents::rtf
