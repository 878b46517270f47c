#pragma once
// The sort and current row a register had when a dialog opened, put back when it closes.
#include "store/Dataset.h"

namespace velcaris::app {

struct ViewMemory {
    QString sort;
    store::Dataset::Bookmark mark;
};

inline ViewMemory rememberView(store::Dataset& ds)
{
    ViewMemory memory;
    memory.sort = ds.sort();
    if (ds.isActive())
        memory.mark = ds.bookmark();
    return memory;
}

// Re-reads the rows, then restores the sort and goes back to the remembered row when it is still there.
inline void restoreView(store::Dataset& ds, const ViewMemory& memory)
{
    if (!ds.isActive())
        return;
    if (ds.sort() != memory.sort)
        ds.setSort(memory.sort);
    ds.requery();
    ds.gotoBookmark(memory.mark);
}

} // namespace velcaris::app
