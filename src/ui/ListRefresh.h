#pragma once

#include <functional>

class QWidget;

namespace rm {

// Refills a window's lists with `refill` (under the standard error trap); the rows that were selected
// in its plain and report lists stay selected where they are still listed. A row is known by its
// key: the item data of a plain list, the hidden columns of a report list.
void RefillKeepingSelection(QWidget* window, const std::function<void()>& refill);

// From now on, refills the window that way whenever stored rows change anywhere, for as long as the
// window lives.
void RefillOnChange(QWidget* window, std::function<void()> refill);

} // namespace rm
