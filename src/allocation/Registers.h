#pragma once
// The main window's registers that show what an action wrote are read again; those not yet
// opened are left alone.
#include "foundation/Workspace.h"

#include <initializer_list>

namespace velcaris::allocation {

inline void requeryRegisters(app::Workspace& ws, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        store::Dataset& d = ws.ds(QString::fromLatin1(name));
        if (d.isActive())
            d.requery();
    }
}

} // namespace velcaris::allocation
