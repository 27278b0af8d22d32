#include "AccessibleNames.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace quirindo::ui {
namespace {

QString WithoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.trimmed();
}

} // namespace

void NameEditsByColumnLabels(QWidget* dialog) {
    if (!dialog) return;
    for (auto* grid : dialog->findChildren<QGridLayout*>()) {
        for (int i = 0; i < grid->count(); ++i) {
            auto* label = qobject_cast<QLabel*>(grid->itemAt(i)->widget());
            if (!label || label->text().isEmpty()) continue;
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            for (int j = 0; j < grid->count(); ++j) {
                auto* edit = qobject_cast<QLineEdit*>(grid->itemAt(j)->widget());
                if (!edit || !edit->accessibleName().isEmpty()) continue;
                int r = 0, c = 0, rs = 0, cs = 0;
                grid->getItemPosition(j, &r, &c, &rs, &cs);
                if (c == column && r > row) edit->setAccessibleName(WithoutMnemonic(label->text()));
            }
        }
    }
}

} // namespace quirindo::ui
