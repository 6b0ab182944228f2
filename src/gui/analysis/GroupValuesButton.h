#pragma once

#include <optional>
#include <vector>

#include "gui/analysis/GroupValues.h"

class QLineEdit;
class QToolButton;
class QWidget;

// The drop-down arrow beside a group box, offering the ticked grouping variable's values with
// their counts; picking one writes it into the box. Placed in twips like the other controls;
// disabled until it has values to offer.
QToolButton* MakeGroupValuesButton(QWidget* parent, const char* name, QLineEdit* box, int left,
                                   int top);

// Offers `values` ("control: 30 cases"), a label too long for the list cut in the middle with
// the whole label in its tooltip; none disables the button.
void OfferGroupValues(QToolButton* button, QLineEdit* box,
                      const std::optional<std::vector<GroupValue>>& values);
