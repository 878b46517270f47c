#include "window/Commands.h"

#include <gtest/gtest.h>

using namespace velcaris::app;

namespace {

struct AddCase {
    Tab tab;
    bool chosen;
    bool selected;
    bool hasYear;
    DialogId dialog;
    bool yearMissing;
};

} // namespace

TEST(Commands, AddDispatchTable)
{
    const AddCase cases[] = {
        {Tab::Condomini, false, false, false, DialogId::TFormCondomini, false},
        {Tab::Condomini, true, false, true, DialogId::TFormCondomini, false},
        {Tab::Fornitori, false, true, false, DialogId::TFormAssociafornitore, false},
        {Tab::Fornitori, false, false, false, DialogId::TFormFornitore, false},
        {Tab::Fornitori, true, true, true, DialogId::None, false},
        {Tab::Agenda, true, false, false, DialogId::TFScadenzario, false},
        {Tab::Agenda, false, false, false, DialogId::None, false},
        {Tab::Interventi, true, false, false, DialogId::TFInterventi, false},
        {Tab::Uscite, true, false, true, DialogId::TFormUscite, false},
        {Tab::Uscite, true, false, false, DialogId::None, true},
        {Tab::Uscite, false, false, false, DialogId::None, false},
        {Tab::Entrate, true, false, true, DialogId::TFEntrateSpeciali, false},
        {Tab::Entrate, true, false, false, DialogId::None, true},
        {Tab::Preventivo, true, false, true, DialogId::TFormPreventivo, false},
        {Tab::Preventivo, true, false, false, DialogId::None, true},
        {Tab::Anagrafe, true, false, false, DialogId::TFormAnagrafe, false},
        {Tab::Anagrafe, false, false, false, DialogId::None, false},
        {Tab::Locali, true, false, false, DialogId::TFLocali, false},
        {Tab::Quote, true, false, true, DialogId::TFRipartizione, false},
        {Tab::Quote, true, false, false, DialogId::None, true},
        {Tab::Memo, true, false, true, DialogId::None, false},
        {Tab::Stampe, true, false, true, DialogId::None, false},
    };
    for (const AddCase& c : cases) {
        int asked = 0;
        CommandContext context{c.tab, c.chosen, c.selected, [&] { ++asked; return c.hasYear; }};
        const Command command = addCommand(context);
        const std::string where = "tab " + std::to_string(int(c.tab)) + (c.chosen ? " chosen" : " none");
        EXPECT_EQ(command.dialog, c.dialog) << where;
        EXPECT_EQ(command.mode, EditMode::Add) << where;
        EXPECT_EQ(command.yearMissing, c.yearMissing) << where;
        // The year check runs only on its four tabs, and only with a condominium.
        const bool yearTab = c.tab == Tab::Uscite || c.tab == Tab::Entrate || c.tab == Tab::Preventivo || c.tab == Tab::Quote;
        EXPECT_EQ(asked, yearTab && c.chosen ? 1 : 0) << where;
        EXPECT_EQ(command.prepareQuotas, c.dialog == DialogId::TFRipartizione) << where;
    }
}

TEST(Commands, ModifyAndSmallButtons)
{
    const std::pair<Tab, DialogId> modify[] = {
        {Tab::Agenda, DialogId::TFScadenzario},     {Tab::Interventi, DialogId::TFInterventi},
        {Tab::Uscite, DialogId::TFormUscite},       {Tab::Entrate, DialogId::TFEntrateSpeciali},
        {Tab::Condomini, DialogId::TFormCondomini}, {Tab::Preventivo, DialogId::TFormPreventivo},
        {Tab::Anagrafe, DialogId::TFormAnagrafe},   {Tab::Fornitori, DialogId::TFormFornitore},
        {Tab::Locali, DialogId::TFLocali},          {Tab::Quote, DialogId::TFormModificaQuote},
        {Tab::Memo, DialogId::None},                {Tab::Stampe, DialogId::None}};
    for (const auto& [tab, dialog] : modify) {
        const Command command = modifyCommand(tab);
        EXPECT_EQ(command.dialog, dialog) << int(tab);
        EXPECT_EQ(command.mode, EditMode::Modify);
    }
    EXPECT_EQ(smallButtonCommand(SmallButton::TBAggiungi).dialog, DialogId::TFormTabelle);
    EXPECT_EQ(smallButtonCommand(SmallButton::TBAggiungi).mode, EditMode::Add);
    EXPECT_EQ(smallButtonCommand(SmallButton::TBmodifica).mode, EditMode::Modify);
    EXPECT_EQ(smallButtonCommand(SmallButton::AAaggiungi).dialog, DialogId::TFormAA);
    EXPECT_EQ(smallButtonCommand(SmallButton::AAmodifica).mode, EditMode::Modify);
    EXPECT_EQ(dialogClassName(DialogId::TFRipartizione), "TFRipartizione");
}
