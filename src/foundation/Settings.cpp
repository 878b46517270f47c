#include "foundation/Settings.h"

#include "store/Money.h"

#include <QFile>
#include <QStringDecoder>

namespace velcaris::app {

namespace {

QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString fold(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

// Hand editors sometimes quote a value; the quotes are not part of it.
QString unquote(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes)
{
    IniFile ini;
    QString section;
    bool inSection = false;
    const QString text = decode(bytes);
    for (QStringView raw : QStringView(text).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed().toString(); // also drops the '\r' of CRLF files
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            if (close > 0) {
                section = fold(line.mid(1, close - 1));
                inSection = true;
            }
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (!inSection || eq < 0)
            continue; // entries before the first section and lines without '=' are ignored
        const QString key = fold(line.left(eq));
        if (key.isEmpty())
            continue;
        ini.entries_.append({section, key, unquote(line.mid(eq + 1).trimmed())});
    }
    return ini;
}

IniFile IniFile::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

const IniFile::Entry* IniFile::find(const QString& section, const QString& key) const
{
    const QString s = fold(section);
    const QString k = fold(key);
    for (const Entry& e : entries_)
        if (e.section == s && e.key == k)
            return &e;
    return nullptr;
}

QString IniFile::value(const QString& section, const QString& key) const
{
    const Entry* e = find(section, key);
    return e ? e->value : QString();
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

bool settingToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> n = store::parseNumber(t);
    return n && *n != 0.0;
}

bool Settings::stamparicevute() const
{
    return settingToBool(stamparicevuteText);
}

bool StudioIdentity::isEmpty() const
{
    for (const QString* v : {&nome, &studio, &indirizzo, &cap, &citta, &telefono, &email, &pec, &codiceFiscale})
        if (!v->trimmed().isEmpty())
            return false;
    return true;
}

LateInterest Settings::lateInterest() const
{
    const QString t = interessiText.trimmed();
    if (t.isEmpty())
        return {true, true, 0};
    if (t.compare(QLatin1String("nessuno"), Qt::CaseInsensitive) == 0)
        return {};
    QString number = t;
    number.remove(QLatin1Char('%'));
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    const std::optional<double> rate = store::parseNumber(number.trimmed());
    // A rate that cannot be read, or a negative one, computes no interest rather than a wrong one.
    if (!rate || *rate <= 0 || *rate > 100)
        return {};
    return {true, false, *rate};
}

Settings ReadSettings(const QString& iniFile)
{
    const IniFile ini = IniFile::load(iniFile);
    Settings s;
    s.destinatario = ini.value(QStringLiteral("destinatario"), QStringLiteral("destinatario"));
    s.oggetto = ini.value(QStringLiteral("oggetto_mail"), QStringLiteral("oggetto"));
    s.stamparicevuteText = ini.value(QStringLiteral("ricevute"), QStringLiteral("stamparicevute"));
    s.mora = ini.value(QStringLiteral("messa_in_mora"), QStringLiteral("mora"));
    const QString section = QStringLiteral("amministratore");
    const auto key = [&](const char* name) { return ini.value(section, QString::fromLatin1(name)); };
    s.studio.nome = key("nome");
    if (s.studio.nome.isEmpty())
        s.studio.nome = key("amministratore");
    s.amministratore = s.studio.nome;
    s.studio.studio = key("studio");
    s.studio.indirizzo = key("indirizzo");
    s.studio.cap = key("cap");
    s.studio.citta = key("citta");
    if (s.studio.citta.isEmpty())
        s.studio.citta = key("città");
    s.studio.telefono = key("telefono");
    s.studio.email = key("email");
    s.studio.pec = key("pec");
    s.studio.codiceFiscale = key("codicefiscale");
    s.interessiText = ini.value(QStringLiteral("solleciti"), QStringLiteral("interessi"));
    return s;
}

Settings& currentSettings()
{
    static Settings settings;
    return settings;
}

} // namespace velcaris::app
