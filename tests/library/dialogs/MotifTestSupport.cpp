#include "MotifTestSupport.h"

#include "DialogDriver.h"

namespace MotifTest {

void CliqueMotif(QListWidget* list, int index)
{
    QListWidgetItem* item = list->item(index);
    list->scrollToItem(item);
    DialogDriver::ClickAt(list->viewport(), list->visualItemRect(item).center());
}

bool CliqueEntreMotifs(QListWidget* list)
{
    QWidget* viewport = list->viewport();
    for (int y = 1; y < viewport->height(); y += 2)
        for (int x = 1; x < viewport->width(); x += 2)
            if (!list->indexAt(QPoint(x, y)).isValid()) {
                DialogDriver::ClickAt(viewport, QPoint(x, y));
                return true;
            }
    return false;
}

bool MotifSelectionneEtVisible(const QListWidget* list, int index)
{
    const QListWidgetItem* item = list->item(index);
    return item && item->isSelected() && list->currentItem() == item && list->selectedItems().size() == 1
        && list->viewport()->rect().contains(list->visualItemRect(item));
}

} // namespace MotifTest
