#pragma once
// The entries the program brings about its own use (faq/seed/faq-seed.json, built in), written
// into a knowledge base that has neither chapters nor entries: a user's own file is never
// touched.
#include "faq/KnowledgeBase.h"

namespace velcaris::faq {

struct Seed {
    QStringList chapters;
    QVector<FaqEntry> entries;
};

// The built-in entries; raises StoreError when they cannot be read.
Seed builtInSeed();
// Parses the seed's text (the JSON of faq-seed.json).
Seed parseSeed(const QByteArray& json);

// Writes the built-in seed, in one transaction, when the base is empty. True when it wrote.
bool seedIfEmpty(store::Database& db);

} // namespace velcaris::faq
