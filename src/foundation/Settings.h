#pragma once
// The hand-edited settings file of the office (velcaris.ini). The program only reads it.
#include <QByteArray>
#include <QList>
#include <QString>

namespace velcaris::app {

// The administrator and the studio, as the letterheads and signatures of documents show them:
// the keys of the section [amministratore]. Every value may be missing.
struct StudioIdentity {
    QString nome;          // nome (or the older key amministratore): the administrator's name
    QString studio;        // studio: the studio's name
    QString indirizzo;     // indirizzo
    QString cap;           // cap
    QString citta;         // citta
    QString telefono;      // telefono
    QString email;         // email
    QString pec;           // pec
    QString codiceFiscale; // codicefiscale

    bool isEmpty() const;
};

// The late interest of reminders: [solleciti] interessi. Missing or empty: the legal rate
// (tasso di interesse legale) of each year of the delay; a percentage ("2,5" or "2.5"): that
// yearly rate for the whole delay; 0 or "nessuno": no interest is computed or shown.
struct LateInterest {
    bool enabled = false;
    bool legal = false;     // the legal rates, year by year
    double ratePercent = 0; // the rate set, when not legal
};

struct Settings {
    QString destinatario;       // [destinatario] destinatario: default e-mail recipient
    QString oggetto;            // [oggetto_mail] oggetto: default e-mail subject
    QString mora;               // [messa_in_mora] mora: formal-notice paragraph of reminders
    QString amministratore;     // [amministratore] nome (or amministratore): the administrator's name
    QString stamparicevuteText; // [ricevute] stamparicevute, as written
    StudioIdentity studio;      // [amministratore] the studio's identity (studio.nome == amministratore)
    QString interessiText;      // [solleciti] interessi, as written

    // Whether receipts are printed; text that is not a boolean reads as false.
    bool stamparicevute() const;
    // The late interest of reminders, read from interessiText.
    LateInterest lateInterest() const;
};

// Reads the values from iniFile; a missing file or entry yields empty text.
Settings ReadSettings(const QString& iniFile);

// The values held for the whole run, replaced by every reading.
Settings& currentSettings();

// Boolean text: true for "True" (any case) or a number other than 0; false for "False" (any case),
// 0, or anything else.
bool settingToBool(const QString& text);

// One sectioned settings file, looked up by section and key without regard to letter case.
class IniFile {
public:
    // Decodes as UTF-8 when the bytes are valid UTF-8, else as Latin-1.
    static IniFile fromBytes(const QByteArray& bytes);
    // An unreadable or missing file gives an empty IniFile.
    static IniFile load(const QString& fileName);

    // The first matching entry; empty when there is none.
    QString value(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;

private:
    struct Entry {
        QString section; // case-folded
        QString key;     // case-folded
        QString value;
    };
    const Entry* find(const QString& section, const QString& key) const;

    QList<Entry> entries_;
};

} // namespace velcaris::app
