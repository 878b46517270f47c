#include "foundation/ColourText.h"

namespace velcaris::app {

namespace {

struct Named {
    const char* name;
    quint32 bgr;
};

constexpr Named kNames[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},     {"clOlive", 0x008080},
    {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},      {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},      {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},     {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
};

Rgb fromBgr(quint32 v)
{
    return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

quint32 toBgr(const Rgb& c)
{
    return quint32(c.red & 0xFF) | (quint32(c.green & 0xFF) << 8) | (quint32(c.blue & 0xFF) << 16);
}

} // namespace

std::optional<Rgb> colourFromText(const QString& raw)
{
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (const Named& n : kNames)
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return fromBgr(n.bgr);
    bool ok = false;
    quint32 value = 0;
    if (text.startsWith(u'$'))
        value = text.mid(1).toUInt(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toUInt(&ok, 16);
    else
        value = text.toUInt(&ok, 10);
    // System colours (high byte set) have no fixed value here.
    if (!ok || (value & 0xFF000000u))
        return std::nullopt;
    return fromBgr(value);
}

QString colourToText(const Rgb& colour)
{
    const quint32 v = toBgr(colour);
    for (const Named& n : kNames)
        if (n.bgr == v)
            return QString::fromLatin1(n.name);
    return QStringLiteral("$%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace velcaris::app
