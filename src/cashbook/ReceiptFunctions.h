#pragma once
// The receipt's line functions lent to the template engine: grid1, incrow1, col1, col2, col3.
// They present the receipt line N (the process-wide line counter) from the source the caller
// chooses at each call: the income register's rows, or the payment grid's rows.
#include "documents/RecordSource.h"
#include "documents/UserFunctions.h"

#include <functional>

namespace velcaris::cashbook {

// The receipt line counter, 1-based; the receipt code sets it to 1 before each merge.
int receiptLine();
void setReceiptLine(int n);

struct ReceiptSource {
    enum class Kind { IncomeRegister, PaymentGrid };
    Kind kind = Kind::PaymentGrid;
    // IncomeRegister: the income rows as filtered and positioned by the caller (fields Nome,
    // Importo, Nota). PaymentGrid: the grid's data rows without its title row, row N of the
    // grid being record N-1 (fields Quota, Importo, Nota).
    documents::RecordSource* rows = nullptr;
};

// Adds the five functions to the list; `source` is asked at every call.
void addReceiptFunctions(documents::TUDFList& list, std::function<ReceiptSource()> source);

} // namespace velcaris::cashbook
