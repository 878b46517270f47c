#pragma once
// The shape of a compiled RTF template: its markers (the text between backslashes) and the tree
// of literal runs, values, scans and conditions that the merge walks. Shared by the compiler and
// the emitter of the merge; not part of the engine's public interface.
#include "documents/RecordSource.h"
#include "documents/ReportExpression.h"
#include "documents/RtfReader.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <vector>

namespace velcaris::documents {

class TRtfReport;

namespace templating {

struct Marker {
    int tb = 0;         // token of the opening backslash
    int te = 0;         // one past the closing backslash (or past an absorbed paragraph end)
    int absorbed = -1;  // the \par token dropped with a block marker alone on its line
    QString text;       // between the backslashes, trimmed
};

enum class Kw { None, Scan, ScanEntry, ScanFooter, EndScan, If, ElsIf, Else, EndIf };

struct Aggregate {
    QString fn;     // SUM, CTN, CTS, VAR
    ExprPtr value;  // SUM/CTN/CTS
    QString target; // SUM/CTN/CTS
    QStringList names; // VAR
    bool noReset = false;
};

struct Node;

struct Segment {
    int tb = 0;
    int te = 0;
    std::vector<Node> nodes;
};

struct Node {
    enum class K { Literal, Value, Scan, If, Skeleton } kind = K::Literal;
    int tb = 0;
    int te = 0;
    // Value
    int marker = -1;
    ExprPtr expr;
    // Scan
    int alias = -1;
    ExprPtr whileCond;
    bool page = false;
    bool noEof = false;
    std::vector<Aggregate> aggregates;
    int entryM = -1;
    int footerM = -1;
    Segment head;
    Segment body;
    Segment foot;
    // If (condMarkers[0] is the if, then the elsifs; elseM the else)
    std::vector<int> condMarkers;
    std::vector<ExprPtr> conds;
    int elseM = -1;
    std::vector<Segment> branches;
    // Scan and If
    int openM = -1;
    int endM = -1;
    // Scan whose markers stand in the first and last cell of one table row: the body is the
    // whole row, the markers' own tokens included (Skeleton nodes).
    bool rowMode = false;
};

struct CompiledTemplate {
    std::vector<Marker> markers;
    Segment root;
};

// Finds the markers of `doc` and builds its tree; raises ReportError naming the marker at fault.
CompiledTemplate compileTemplate(const rtf::Document& doc, const TRtfReport& report,
                                 const QVector<RecordSource*>& datasets);

} // namespace templating
} // namespace velcaris::documents
