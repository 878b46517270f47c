#pragma once
// "Trasferisci su server": where the server is and who connects, then the office's files copied
// into its empty database (store/ServerTransfer). On success the dialog shows what was copied and
// the [server] section the user adds to the settings file; the program never writes that file.
#include "foundation/AppPaths.h"
#include "store/ServerTransfer.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace velcaris::app {

class TFTrasferisciServer : public QDialog {
    Q_OBJECT
public:
    TFTrasferisciServer(const AppPaths& paths, QWidget* parent);

    // The server as the fields give it.
    store::ServerParams params() const;
    // "Trasferisci": the transfer, with the wait cursor; a refusal is shown in a message box and
    // the fields stay for another try.
    void transfer();
    const store::ServerTransferResult& lastResult() const { return result_; }

private:
    AppPaths paths_;
    store::ServerTransferResult result_;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLineEdit* database_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QComboBox* sslmode_ = nullptr;
    QLabel* outcome_ = nullptr;
    QPlainTextEdit* section_ = nullptr;
    QPushButton* transfer_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace velcaris::app
