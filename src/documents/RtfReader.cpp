#include "documents/RtfReader.h"

#include "documents/ReportError.h"

#include <cstring>

namespace velcaris::documents::rtf {
namespace {

// Windows-1252 in the range 0x80..0x9F; the rest of the code page is Latin-1.
const char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char16_t fromCp1252(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0)
        return kCp1252High[b - 0x80];
    return char16_t(b);
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Destinations whose text is not part of the document's visible text.
bool isHiddenDestination(const QByteArray& w)
{
    static const char* const names[] = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "objdata", "themedata",
        "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "listtable",
        "listoverridetable", "rsidtbl", "generator", "filetbl", "revtbl", "pgdsctbl",
        "nonshppict", "mmathPr", "fldinst", "bkmkstart", "bkmkend", "template", "userprops",
        "docvar", "xmlopen", "xmlclose", "wgrffmtfilter", "protusertbl", "listtext", "pntext"};
    for (const char* n : names)
        if (w == n)
            return true;
    return false;
}

char16_t visibleWordChar(const QByteArray& w)
{
    if (w == "tab") return u'\t';
    if (w == "emdash") return 0x2014;
    if (w == "endash") return 0x2013;
    if (w == "lquote") return 0x2018;
    if (w == "rquote") return 0x2019;
    if (w == "ldblquote") return 0x201C;
    if (w == "rdblquote") return 0x201D;
    if (w == "bullet") return 0x2022;
    if (w == "emspace" || w == "enspace" || w == "qmspace") return u' ';
    return 0;
}

bool isBreakWord(const QByteArray& w)
{
    return w == "par" || w == "line" || w == "page" || w == "sect" || w == "cell" || w == "row"
        || w == "nestcell" || w == "nestrow";
}

[[noreturn]] void fail(const QString& what)
{
    throw ReportError(QStringLiteral("Il modello non è un file RTF valido: %1").arg(what));
}

struct Group {
    bool hidden = false;
    int uc = 1;
};

class Parser {
public:
    explicit Parser(const QByteArray& src) : s_(src.constData()), n_(int(src.size())) {}

    std::vector<Token> run()
    {
        std::vector<Token> toks;
        toks.reserve(size_t(n_ / 2) + 16);
        int i = 0;
        bool rootClosed = false;
        while (i < n_) {
            const char c = s_[i];
            if (rootClosed) {
                // Only blanks, line ends and NULs may follow the closing brace.
                for (int j = i; j < n_; ++j) {
                    if (s_[j] == '}')
                        fail(QStringLiteral("parentesi graffa chiusa senza apertura (posizione %1)").arg(j));
                    if (s_[j] != ' ' && s_[j] != '\r' && s_[j] != '\n' && s_[j] != '\t' && s_[j] != '\0')
                        fail(QStringLiteral("testo dopo la chiusura del documento (posizione %1)").arg(j));
                }
                toks.push_back({i, n_, Tok::Hidden});
                break;
            }
            if (c == '{') {
                const int uc = groups_.empty() ? 1 : groups_.back().uc;
                groups_.push_back({false, uc});
                toks.push_back({i, i + 1, Tok::Open});
                first_ = true;
                ++i;
                continue;
            }
            if (c == '}') {
                if (groups_.empty())
                    fail(QStringLiteral("parentesi graffa chiusa senza apertura (posizione %1)").arg(i));
                if (groups_.back().hidden)
                    --hiddenDepth_;
                groups_.pop_back();
                toks.push_back({i, i + 1, Tok::Close});
                first_ = false;
                ++i;
                if (groups_.empty())
                    rootClosed = true;
                continue;
            }
            if (groups_.empty())
                fail(QStringLiteral("testo fuori dal gruppo del documento (posizione %1)").arg(i));
            if (c == '\\') {
                i = control(i, toks);
                continue;
            }
            first_ = false;
            if (c == '\r' || c == '\n' || c == '\0' || hiddenDepth_ > 0) {
                // A run of ignored bytes as one token.
                int j = i + 1;
                while (j < n_ && s_[j] != '{' && s_[j] != '}' && s_[j] != '\\'
                       && (hiddenDepth_ > 0 || s_[j] == '\r' || s_[j] == '\n' || s_[j] == '\0'))
                    ++j;
                toks.push_back({i, j, Tok::Hidden});
                i = j;
                continue;
            }
            toks.push_back({i, i + 1, Tok::Char, false, fromCp1252(static_cast<unsigned char>(c))});
            ++i;
        }
        if (!groups_.empty())
            fail(QStringLiteral("%1 gruppi non chiusi: il file è troncato o le parentesi graffe "
                                "non sono bilanciate").arg(groups_.size()));
        if (toks.empty())
            fail(QStringLiteral("file vuoto"));
        return toks;
    }

private:
    bool visible() const { return hiddenDepth_ == 0; }

    void hideGroup()
    {
        if (!groups_.back().hidden) {
            groups_.back().hidden = true;
            ++hiddenDepth_;
        }
    }

    void pushChar(std::vector<Token>& toks, int a, int b, char16_t ch)
    {
        toks.push_back({a, b, visible() ? Tok::Char : Tok::Hidden, false, ch});
    }

    // Length of one control word or symbol at j (used to skip \uN fallbacks).
    int skipControl(int j) const
    {
        if (j + 1 >= n_)
            return n_;
        if (s_[j + 1] == '\'')
            return std::min(n_, j + 4);
        if (!isLetter(s_[j + 1]))
            return j + 2;
        int k = j + 1;
        while (k < n_ && isLetter(s_[k]))
            ++k;
        if (k < n_ && s_[k] == '-')
            ++k;
        while (k < n_ && isDigit(s_[k]))
            ++k;
        if (k < n_ && s_[k] == ' ')
            ++k;
        return k;
    }

    int control(int i, std::vector<Token>& toks)
    {
        if (i + 1 >= n_)
            fail(QStringLiteral("barra rovesciata alla fine del file (file troncato)"));
        const char d = s_[i + 1];
        const bool wasFirst = first_;
        first_ = false;
        if (!isLetter(d)) {
            switch (d) {
            case '\\': case '{': case '}':
                pushChar(toks, i, i + 2, char16_t(d));
                return i + 2;
            case '~':
                pushChar(toks, i, i + 2, 0x00A0);
                return i + 2;
            case '_':
                pushChar(toks, i, i + 2, 0x2011);
                return i + 2;
            case '\'': {
                if (i + 3 >= n_ || hexValue(s_[i + 2]) < 0 || hexValue(s_[i + 3]) < 0)
                    fail(QStringLiteral("carattere \\' non valido (posizione %1)").arg(i));
                const int b = hexValue(s_[i + 2]) * 16 + hexValue(s_[i + 3]);
                pushChar(toks, i, i + 4, fromCp1252(static_cast<unsigned char>(b)));
                return i + 4;
            }
            case '\r': case '\n':
                toks.push_back({i, i + 2, visible() ? Tok::Break : Tok::Hidden, false, u'\n'});
                return i + 2;
            case '*':
                if (wasFirst)
                    hideGroup();
                toks.push_back({i, i + 2, Tok::Symbol});
                return i + 2;
            default:
                toks.push_back({i, i + 2, Tok::Symbol});
                return i + 2;
            }
        }
        int j = i + 1;
        while (j < n_ && isLetter(s_[j]) && j - i <= 32)
            ++j;
        const QByteArray word(s_ + i + 1, j - i - 1);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (j < n_ && s_[j] == '-' && j + 1 < n_ && isDigit(s_[j + 1])) {
            negative = true;
            ++j;
        }
        while (j < n_ && isDigit(s_[j])) {
            hasParam = true;
            if (param < 100000000)
                param = param * 10 + (s_[j] - '0');
            ++j;
        }
        if (negative)
            param = -param;
        bool bare = true;
        if (j < n_ && s_[j] == ' ') {
            ++j;
            bare = false;
        }
        if (j >= n_)
            fail(QStringLiteral("file troncato dopo \\%1").arg(QString::fromLatin1(word)));

        if (wasFirst && isHiddenDestination(word))
            hideGroup();

        if (word == "bin") {
            toks.push_back({i, j, Tok::Word, false});
            const long long len = hasParam ? param : 0;
            if (len < 0 || j + len > n_)
                fail(QStringLiteral("dati \\bin troncati (posizione %1)").arg(i));
            if (len > 0)
                toks.push_back({j, int(j + len), Tok::Bin});
            return int(j + len);
        }
        if (word == "uc" && hasParam) {
            groups_.back().uc = int(std::max(0LL, std::min(param, 8LL)));
            toks.push_back({i, j, Tok::Word, bare});
            return j;
        }
        if (word == "u" && hasParam) {
            // The fallback characters that follow belong to this token.
            int k = j;
            int skip = groups_.back().uc;
            while (skip > 0 && k < n_ && s_[k] != '{' && s_[k] != '}') {
                if (s_[k] == '\\')
                    k = skipControl(k);
                else if (s_[k] == '\r' || s_[k] == '\n') {
                    ++k;
                    continue;
                } else
                    ++k;
                --skip;
            }
            const long long code = param < 0 ? param + 65536 : param;
            if (k == j)
                pushChar(toks, i, j, char16_t(code));
            else
                pushChar(toks, i, k, char16_t(code));
            if (toks.back().end == j)
                toks.back().bare = bare;
            return k;
        }
        if (visible()) {
            if (isBreakWord(word)) {
                toks.push_back({i, j, Tok::Break, bare, u'\n'});
                return j;
            }
            if (const char16_t ch = visibleWordChar(word)) {
                toks.push_back({i, j, Tok::Char, bare, ch});
                return j;
            }
        }
        toks.push_back({i, j, Tok::Word, bare});
        return j;
    }

    const char* s_;
    int n_;
    std::vector<Group> groups_;
    int hiddenDepth_ = 0;
    bool first_ = false;
};

} // namespace

Document parse(const QByteArray& rtf)
{
    Document doc;
    doc.source = rtf;
    Parser p(doc.source);
    doc.tokens = p.run();
    return doc;
}

QString plainText(const QByteArray& rtf)
{
    const Document doc = parse(rtf);
    QString out;
    for (const Token& t : doc.tokens)
        if (t.kind == Tok::Char || t.kind == Tok::Break)
            out.append(QChar(t.ch));
    return out;
}

QByteArray escapeText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 8);
    bool wide = false;
    for (int i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\r') {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out.append("\\line ");
        } else if (u == '\n') {
            out.append("\\line ");
        } else if (u == '\t') {
            out.append("\\tab ");
        } else if (u == '\\' || u == '{' || u == '}') {
            out.append('\\');
            out.append(char(u));
        } else if (u >= 0x20 && u < 0x7F) {
            out.append(char(u));
        } else if (u < 0x20 || u == 0x7F) {
            // Other control characters have no place in a document's text.
        } else {
            wide = true;
            out.append("\\u");
            out.append(QByteArray::number(int(qint16(u))));
            char fallback = '?';
            const QString dec = QChar(u).decomposition();
            if (!dec.isEmpty() && dec[0].unicode() > 0x20 && dec[0].unicode() < 0x7F
                && dec[0] != QLatin1Char('\\') && dec[0] != QLatin1Char('{') && dec[0] != QLatin1Char('}'))
                fallback = char(dec[0].unicode());
            out.append(fallback);
        }
    }
    if (wide) {
        // One fallback character per \u, whatever \uc the surrounding text has set.
        out.prepend("{\\uc1 ");
        out.append('}');
    }
    return out;
}

} // namespace velcaris::documents::rtf
