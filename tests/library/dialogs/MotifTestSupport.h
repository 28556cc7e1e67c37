#pragma once
// Plays the user on the pattern list of the border and background dialogs.

#include <QListWidget>

namespace MotifTest {

// Clicks item index of list, scrolled into view first.
void CliqueMotif(QListWidget* list, int index);
// Clicks a point of list that lies between the items; false when there is none.
bool CliqueEntreMotifs(QListWidget* list);
// Whether item index alone is selected, is current and lies within the list's view.
bool MotifSelectionneEtVisible(const QListWidget* list, int index);

} // namespace MotifTest
