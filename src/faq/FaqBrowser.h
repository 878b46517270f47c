#pragma once
// The set of entries the FAQ window steps through (the entries of a clicked title, or the hits of
// the last search) and the position in it, shown as "i di n".
#include "faq/KnowledgeBase.h"

#include <optional>

namespace velcaris::faq {

class FaqBrowser {
public:
    // A new set; the position goes back to the first entry.
    void setEntries(QVector<FaqEntry> entries);
    const QVector<FaqEntry>& entries() const { return entries_; }

    void first();
    void prior(); // stays on the first
    void next();  // stays on the last
    void last();

    int position() const { return position_; } // 1-based; 1 also when the set is empty
    int count() const { return int(entries_.size()); }
    // The entry at the position; nothing when the set is empty.
    std::optional<FaqEntry> current() const;
    QString counterText() const; // "3 di 7"; "1 di 0" when nothing matched

private:
    QVector<FaqEntry> entries_;
    int position_ = 1;
};

} // namespace velcaris::faq
