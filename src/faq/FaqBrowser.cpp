#include "faq/FaqBrowser.h"

namespace velcaris::faq {

void FaqBrowser::setEntries(QVector<FaqEntry> entries)
{
    entries_ = std::move(entries);
    position_ = 1;
}

void FaqBrowser::first()
{
    position_ = 1;
}

void FaqBrowser::prior()
{
    if (position_ > 1)
        --position_;
}

void FaqBrowser::next()
{
    if (position_ < count())
        ++position_;
}

void FaqBrowser::last()
{
    position_ = std::max(count(), 1);
}

std::optional<FaqEntry> FaqBrowser::current() const
{
    if (entries_.isEmpty())
        return std::nullopt;
    return entries_.value(position_ - 1);
}

QString FaqBrowser::counterText() const
{
    return QStringLiteral("%1 di %2").arg(position_).arg(count());
}

} // namespace velcaris::faq
