// OnCategoryClick against the recording window: what it writes for every box, checked or not.
#include "app/category_selection.h"

#include <gtest/gtest.h>

#include "crawler/category_table.h"
#include "tests/support/fake_window_controls.h"

namespace lumeno {
namespace {

class CategoryClickTest : public ::testing::TestWithParam<Category> {};

TEST_P(CategoryClickTest, CheckedBoxClearsExactlyTheEightOthers) {
    testing::FakeWindowControls window;
    for (const Category& category : kCategories) window.SetChecked(category.checkBox, 1);
    const Text clicked = GetParam().checkBox;

    OnCategoryClick(window, GetParam().checkBox);

    for (const Category& category : kCategories) {
        EXPECT_EQ(window.Checked(category.checkBox), clicked == category.checkBox ? 1 : 0)
            << category.caption;
    }
}

TEST_P(CategoryClickTest, UncheckedBoxChangesNothing) {
    // The user just unchecked the clicked box; two other boxes happen to be checked.
    testing::FakeWindowControls window;
    const Text clicked = GetParam().checkBox;
    std::vector<Text> others;
    for (const Category& category : kCategories) {
        if (clicked != category.checkBox && others.size() < 2)
            others.emplace_back(category.checkBox);
    }
    for (const Text& other : others) window.SetChecked(other, 1);
    const std::size_t callsBefore = window.Calls().size();

    OnCategoryClick(window, GetParam().checkBox);

    const std::vector<Text> calls = window.Calls();
    ASSERT_EQ(calls.size(), callsBefore + 1);  // one read of the clicked box, no write
    EXPECT_EQ(calls.back(), "Checked(" + clicked + ")");
    for (const Text& other : others) EXPECT_EQ(window.Checked(other), 1);
}

INSTANTIATE_TEST_SUITE_P(NineBoxes, CategoryClickTest, ::testing::ValuesIn(kCategories),
                         [](const auto& info) { return std::string(info.param.segment); });

}  // namespace
}  // namespace lumeno
