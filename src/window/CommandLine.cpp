#include "window/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace velcaris::app {

namespace {

struct OptionText {
    const char* names;       // as shown in the help
    const char* description; // UTF-8
};

const OptionText kOptions[] = {
    {"--dati <cartella>", "Usa l'ufficio (database, modelli e impostazioni) nella cartella indicata, "
                          "creandolo se manca."},
    {"--verifica", "Apre l'ufficio (lo crea al primo avvio, con i modelli dei documenti) ed esce "
                   "senza mostrare la finestra; l'esito è 0 se tutto è in ordine."},
    {"-h, --help", "Mostra questo aiuto ed esce."},
    {"--version", "Mostra la versione ed esce."},
};

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption data(QStringLiteral("dati"), QString(), QStringLiteral("cartella"));
    const QCommandLineOption verify(QStringLiteral("verifica"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({data, verify, help, version});

    CommandLine line;
    const bool understood = parser.parse(arguments);
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    line.verify = parser.isSet(verify);
    if (parser.isSet(data))
        line.dataFolder = parser.values(data).constLast();
    if (!parser.unknownOptionNames().isEmpty())
        line.error = QStringLiteral("Opzione sconosciuta: %1 (velcaris --help elenca le opzioni).")
                         .arg(parser.unknownOptionNames().constFirst());
    else if (!understood || (parser.isSet(data) && line.dataFolder.trimmed().isEmpty()))
        line.error = QStringLiteral("Dopo --dati va indicata la cartella dei dati."); // the only option with a value
    else if (!parser.positionalArguments().isEmpty())
        line.error = QStringLiteral("Argomento non previsto: %1 (velcaris --help elenca le opzioni).")
                         .arg(parser.positionalArguments().constFirst());
    return line;
}

QString commandLineHelp(const QString& program)
{
    QString text = QStringLiteral("Uso: %1 [opzioni]\n"
                                  "Velcaris: la contabilità dei condomini per l'amministratore.\n\n"
                                  "Opzioni:\n")
                       .arg(program);
    for (const OptionText& option : kOptions)
        text += QStringLiteral("  %1\n      %2\n").arg(QString::fromUtf8(option.names), QString::fromUtf8(option.description));
    text += QStringLiteral(
        "\nSenza --dati l'ufficio sta accanto al programma se quella cartella è scrivibile e contiene già\n"
        "Database/; altrimenti nella cartella indicata da [ufficio] cartella=... in\n"
        "~/.config/Velcaris/ufficio.ini, se c'è; altrimenti in ~/.local/share/Velcaris.\n");
    return text;
}

} // namespace velcaris::app
