#pragma once
// The expression language of template markers: parsing into a tree once per template and
// evaluation against the merge's variables, datasets and user functions.
#include "documents/RecordSource.h"
#include "documents/ReportError.h"
#include "documents/ReportValue.h"
#include "documents/UserFunctions.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace velcaris::documents {

// A marker's text that is not an expression at all (the marker may then be ordinary text).
class SyntaxError : public ReportError {
public:
    using ReportError::ReportError;
};

enum class FnKind { General, Dataset, Aggregate, Format };

struct Expr;
using ExprPtr = std::shared_ptr<const Expr>;

struct Expr {
    enum class K { Literal, Var, Field, Call, Unary, Binary, Assign };
    K kind = K::Literal;
    TReportVariable literal;
    QString name;       // Var, Assign target, Field's column, Call's upper-case name
    int alias = -1;     // Field and dataset functions: 0 for A ... 25 for Z
    QString op;         // Unary, Binary
    std::vector<ExprPtr> args;
    QString text;       // the source text of this node, for messages
    bool builtin = false;
    FnKind fn = FnKind::General;
};

// What an expression is evaluated against.
class EvalContext {
public:
    virtual ~EvalContext() = default;
    virtual bool lookupVariable(const QString& name, TReportVariable& out) const = 0;
    virtual void assign(const QString& name, const TReportVariable& value) = 0;
    virtual RecordSource* dataset(int alias) const = 0; // nullptr when not in the list
    virtual const TUDF* udf(const QString& name) const = 0;
    virtual QString trueValue() const = 0;
    virtual QString falseValue() const = 0;
    virtual bool graphicsBinary() const { return true; } // pictures as \bin, else hexadecimal
};

enum class ParseMode {
    Marker,      // a whole marker: a format function may stand at its root
    Condition,   // an if/elsif/while condition or any other argument
    ScanOption,  // an option of a scan command: an aggregate may stand at its root
};

// Raises SyntaxError for text that does not parse, ReportError for a known mistake (unknown
// function, argument count, unbalanced brackets, misplaced aggregate or format function).
ExprPtr parseExpression(const QString& text, const TUDFList& udfs, ParseMode mode, bool dotAsColon);

TReportVariable evaluate(const Expr& e, EvalContext& ctx);

// True when the expression names a variable, dataset or field that does not exist.
bool referencesUnknown(const Expr& e, const EvalContext& ctx);

// A marker whose root is a format function: the RTF to insert.
QByteArray applyFormat(const Expr& call, EvalContext& ctx);

// Built-in function table lookup (name without regard to case).
bool builtinInfo(const QString& name, int* minArgs, int* maxArgs, FnKind* kind);

} // namespace velcaris::documents
