#include "dialogkit/Messages.h"
#include "faq/KnowledgeBase.h"
#include "faq/ui/FaqDialogs.h"
#include "store/Schema.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QComboBox>
#include <QFile>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

class FaqWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        openWindow({faq::ui::installDialogs});
        form->show();
        app::takeMessages();
    }
    QDialog* faqWindow() { return form->findChild<QDialog*>("FormFAQ"); }
    QDialog* open()
    {
        QTest::mouseClick(form->findChild<QPushButton*>("BitBtnFAQ"), Qt::LeftButton);
        return faqWindow();
    }
    void click(QWidget* parent, const char* name) { QTest::mouseClick(parent->findChild<QAbstractButton*>(name), Qt::LeftButton); }
    QStringList tree(QDialog* w)
    {
        QStringList out;
        auto* t = w->findChild<QTreeWidget*>("TreeView1");
        for (int i = 0; i < t->topLevelItemCount(); ++i) {
            QTreeWidgetItem* c = t->topLevelItem(i);
            out << c->text(0);
            for (int j = 0; j < c->childCount(); ++j)
                out << "  " + c->child(j)->text(0);
        }
        return out;
    }
    QString shownTitle(QDialog* w) { return w->findChild<QLineEdit*>("Edit2")->text(); }
    QString counter(QDialog* w) { return w->findChild<QLabel*>("Label5")->text(); }
    void searchFor(QDialog* w, const char* button, const QString& word)
    {
        click(w, button);
        auto* s = w->findChild<QDialog*>("FormRicercaFAQ");
        ASSERT_TRUE(s->isVisible());
        QTest::keyClicks(s->findChild<QLineEdit*>("Edit1"), word);
        QTest::keyClick(s->findChild<QLineEdit*>("Edit1"), Qt::Key_Return);
    }
};

} // namespace

TEST_F(FaqWindow, OpensOnTheBuiltInEntriesSearchesAndSteps)
{
    QDialog* w = open();
    ASSERT_TRUE(w->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(w->windowTitle(), "FAQ");
    const QStringList shown = tree(w);
    EXPECT_GE(shown.size(), 12);
    EXPECT_EQ(shown.value(0), "Primi passi");
    EXPECT_TRUE(shown.contains("  Come si crea un condominio"));
    test::keepScreenshot(*w, "faq-window");

    searchFor(w, "BitBtn2", "");
    auto* s = w->findChild<QDialog*>("FormRicercaFAQ");
    EXPECT_TRUE(s->isVisible()) << "an empty word keeps the search open";
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire la parola da ricercare"});
    EXPECT_EQ(s->windowTitle(), "Cerca nel titolo");
    s->reject();

    searchFor(w, "BitBtn2", "COME SI CREA");
    EXPECT_FALSE(w->findChild<QDialog*>("FormRicercaFAQ")->isVisible());
    EXPECT_EQ(counter(w), "1 di 2");
    EXPECT_EQ(shownTitle(w), "Come si crea un condominio");
    click(w, "NavNext");
    EXPECT_EQ(counter(w), "2 di 2");
    click(w, "NavNext");
    EXPECT_EQ(counter(w), "2 di 2");
    EXPECT_EQ(shownTitle(w), "Come si crea l'anno amministrativo");
    click(w, "NavFirst");
    EXPECT_EQ(counter(w), "1 di 2");

    searchFor(w, "BitBtn3", "nessuna parola qui");
    EXPECT_EQ(counter(w), "1 di 0");
    EXPECT_TRUE(shownTitle(w).isEmpty());
    EXPECT_TRUE(w->findChild<QPlainTextEdit*>("Memo2")->toPlainText().isEmpty());

    // A click on a title shows that entry.
    auto* t = w->findChild<QTreeWidget*>("TreeView1");
    t->setCurrentItem(t->topLevelItem(0)->child(1));
    EXPECT_EQ(shownTitle(w), "Come si crea l'anno amministrativo");
    EXPECT_EQ(w->findChild<QLineEdit*>("Edit1")->text(), "Primi passi");
    EXPECT_EQ(counter(w), "1 di 1");
    t->setCurrentItem(t->topLevelItem(1));
    EXPECT_EQ(shownTitle(w), "Come si crea l'anno amministrativo") << "a chapter shows nothing new";
}

TEST_F(FaqWindow, ChaptersAndEntriesAreAddedToTheTreeWhichIsBuiltOncePerRun)
{
    QDialog* w = open();
    ASSERT_TRUE(w->isVisible());
    click(w, "BitBtn1");
    auto* add = w->findChild<QDialog*>("FormAggiungiFAQ");
    ASSERT_TRUE(add->isVisible());
    click(add, "BitBtn2");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire un capitolo"});

    // A new chapter from the entry dialog; a duplicate is refused and the name emptied.
    click(add, "BitBtn1");
    auto* chapter = form->findChild<QDialog*>("FormNCFAQ");
    ASSERT_TRUE(chapter->isVisible());
    QTest::keyClicks(chapter->findChild<QLineEdit*>("Edit1"), "Primi passi");
    click(chapter, "BitBtn1");
    EXPECT_EQ(app::takeMessages(), QStringList{"Questo capitolo già esiste pertanto non sarà inserito"});
    EXPECT_TRUE(chapter->isVisible());
    EXPECT_TRUE(chapter->findChild<QLineEdit*>("Edit1")->text().isEmpty());
    QTest::keyClicks(chapter->findChild<QLineEdit*>("Edit1"), "primi passi");
    click(chapter, "BitBtn1");
    EXPECT_FALSE(chapter->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(tree(w).last(), "primi passi");

    auto* combo = add->findChild<QComboBox*>("ComboBox1");
    combo->setCurrentIndex(combo->findText("Primi passi"));
    click(add, "BitBtn2");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire un titolo"});
    QTest::keyClicks(add->findChild<QLineEdit*>("Edit2"), "Come si stampa");
    click(add, "BitBtn2");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire una domanda"});
    add->findChild<QPlainTextEdit*>("Memo1")->setPlainText("Come stampo?");
    click(add, "BitBtn2");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire una risposta"});
    add->findChild<QPlainTextEdit*>("Memo2")->setPlainText("Dal menu.");
    test::keepScreenshot(*add, "faq-add-entry");
    click(add, "BitBtn2");
    EXPECT_FALSE(add->isVisible());
    const QStringList afterAdd = tree(w);
    const int chapterAt = afterAdd.indexOf("Primi passi");
    const int nextChapter = afterAdd.indexOf(QRegularExpression("[^ ].*"), chapterAt + 1);
    EXPECT_EQ(afterAdd.value(nextChapter - 1), "  Come si stampa") << "after the chapter's existing titles";

    w->reject();
    // Written behind the window's back: the tree of this run does not read the chapters again.
    {
        faq::KnowledgeBase base;
        base.open(form->workspace().paths().faqDatabase());
        ASSERT_TRUE(base.addChapter("Scritto altrove").done);
    }
    QDialog* again = open();
    ASSERT_TRUE(again->isVisible());
    EXPECT_EQ(tree(again), afterAdd);
}

TEST_F(FaqWindow, AMissingKnowledgeBaseIsReportedAndNothingOpens)
{
    QFile::remove(form->workspace().paths().faqDatabase());
    QDialog* w = open();
    EXPECT_FALSE(w->isVisible());
    const QStringList messages = app::takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("FAQ.db"));
}
