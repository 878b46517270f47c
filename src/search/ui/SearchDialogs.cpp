#include "search/ui/SearchDialogs.h"

#include "search/ui/TFormRicerca.h"

#include <QMenu>
#include <QWidget>
#include <memory>

namespace velcaris::search::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* dialog = new TFormRicerca(context);
    auto* menu = new QMenu(context.window);
    menu->setObjectName(QStringLiteral("PopupMenu"));
    // The tab active when the menu opened decides what each item searches.
    auto tab = std::make_shared<app::Tab>(app::Tab::Agenda);
    const std::tuple<const char*, const char*, SearchKind> items[] = {
        {"Cercapersone1", "Cerca persona", SearchKind::Persona},
        {"Cercaquota1", "Cerca quota/causale", SearchKind::Quota},
        {"Cercanota1", "Cerca nota", SearchKind::Nota},
    };
    for (const auto& [name, caption, kind] : items) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, dialog, [dialog, tab, kind = kind] {
            if (const std::optional<SearchTarget> target = searchTarget(kind, *tab))
                dialog->start(kind, *target);
        });
    }
    registerDialog(app::DialogId::TFormRicerca, [menu, tab](const app::DialogRequest& request) {
        *tab = request.tab;
        const QPoint at = request.anchor ? request.anchor->mapToGlobal(QPoint(0, request.anchor->height()))
                                         : QPoint(0, 0);
        menu->popup(at);
    });
}

} // namespace velcaris::search::ui
