// The click handler shared by the nine category boxes.
#include "app/category_selection.h"

#include "app/main_window.h"
#include "crawler/category_table.h"

namespace lumeno {

void OnCategoryClick(WindowControls& window, const char* checkBox) {
    if (window.Checked(checkBox) != 1) return;
    const Text clicked = checkBox;
    for (const Category& category : kCategories) {
        if (clicked != category.checkBox) window.SetChecked(category.checkBox, 0);
    }
}

void BindCategoryBoxes(MainWindow& window) {
    for (const Category& category : kCategories) {
        WindowControls& controls = window.Controls();
        window.OnClicked(category.checkBox,
                         [&controls, box = category.checkBox] { OnCategoryClick(controls, box); });
    }
}

}  // namespace lumeno
