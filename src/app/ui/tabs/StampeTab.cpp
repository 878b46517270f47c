// The Stampe tab: the convocation dates and the recipient lists of persons and suppliers.
#include "app/ui/tabs/TabParts.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>

namespace velcaris::app {

QWidget* buildStampeTab(TabParts&)
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    for (const auto& [name, text] :
         {std::pair{"DataPrima", "Data 1° convocazione"}, std::pair{"DataSeconda", "Data 2° convocazione"}}) {
        auto* picker = new QDateTimeEdit(QDateTime::currentDateTime(), page);
        picker->setObjectName(QString::fromLatin1(name));
        picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
        picker->setCalendarPopup(true);
        auto* label = new QLabel(QString::fromUtf8(text), page);
        label->setBuddy(picker);
        form->addRow(label, picker);
    }
    for (const auto& [name, text] : {std::pair{"lista", "Condòmini"}, std::pair{"ListaFornitori", "Fornitori"}}) {
        auto* list = new QListWidget(page);
        list->setObjectName(QString::fromLatin1(name));
        auto* label = new QLabel(QString::fromUtf8(text), page);
        label->setBuddy(list);
        form->addRow(label, list);
    }
    return page;
}

} // namespace velcaris::app
