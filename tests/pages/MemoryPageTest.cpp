#include "tests/pages/MemoryPageHarness.h"

namespace {

using memorytest::PageHarness;

TEST(MemoryPageLayout, OffersTheSdramAndTheControlsOfThePage) {
    PageHarness h;
    TFormMemory& page = *h.page;
    EXPECT_EQ(page.size(), QSize(387, 276));
    ASSERT_EQ(page.ComboBoxMemType->count(), 1);
    EXPECT_EQ(page.ComboBoxMemType->itemText(0), "SDRAM (2000000h WORDS, 64 MB)");
    EXPECT_EQ(page.SelectedMemTypeIndex(), 0);
    EXPECT_EQ(page.ZeroAddressText(MEM_TYPE_SDRAM), "0000000");
    EXPECT_EQ(h.testAreaUpdates, 0) << "filling the list is no change";

    EXPECT_EQ(page.EditMemRdmAddr->text(), "00000000");
    EXPECT_EQ(page.EditMemRdmAddr->maxLength(), 8);
    EXPECT_EQ(page.EditMemRdmWrite->maxLength(), 4);
    EXPECT_TRUE(page.EditMemRdmRead->isReadOnly());
    EXPECT_EQ(page.EditMemWriteLen->text(), "0");
    EXPECT_EQ(page.EditMemRdmWrite->geometry(), QRect(187, 59, 64, 24));
    EXPECT_EQ(page.LabelFileLength->text(), "File Length");
    EXPECT_EQ(page.LabelEntireMemory->pos(), QPoint(295, 209));
    EXPECT_FALSE(page.CheckBoxMemWriteFileLen->isChecked());
    EXPECT_FALSE(page.LabelMemFlashHint->isVisible());
    EXPECT_FALSE(page.ImageFlashNote->isVisible());

    const char* captions[] = {"Read", "Write", "Chip Erase (70 sec)", "Write a File to Memory",
                              "Load Memory Content to a File"};
    const QPoint positions[] = {{306, 89}, {189, 89}, {13, 89}, {187, 162}, {187, 236}};
    for (int id = 0; id < 5; ++id) {
        const skin::TCustomButton* button = page.Buttons()->FindById(id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetCaption(), captions[id]);
        EXPECT_EQ(QPoint(button->GetLeft(), button->GetTop()), positions[id]);
        EXPECT_FALSE(button->GetEnabled()) << "no board yet: " << id;
    }
}

TEST(MemoryPageLayout, EntryTextsTakeTheLargestUnitThatFits) {
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("SDRAM", 0x4000000), "SDRAM (2000000h WORDS, 64 MB)");
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("X", 0x3FE), "X (1FFh WORDS, 1022 Bytes)");
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("X", 0x400), "X (200h WORDS, 1 KB)");
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("X", 0xFFFFE), "X (7FFFFh WORDS, 1023 KB)");
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("X", 0x100000), "X (80000h WORDS, 1 MB)");
    EXPECT_EQ(TFormMemory::MemoryTypeEntryText("X", 0x80000000), "X (40000000h WORDS, 2 GB)");
}

struct ParseCase {
    const char* text;
    const char* field;
    int64_t minimum;
    int64_t maximum;
    bool ok;
    uint32_t value;
    const char* box;
};

TEST(MemoryPageFields, ParseHexFieldAcceptsOnlyHexDigitsWithinTheBounds) {
    const ParseCase cases[] = {
        {"1FFFFFF", "Address", 0, 0x1FFFFFF, true, 0x1FFFFFF, ""},
        {"ffff", "wDATA", 0, 0xFFFF, true, 0xFFFF, ""},
        {"2000000", "Address", 0, 0x1FFFFFF, false, 0,
         "The input value(2000000) for the field 'Address' is expected to less or equal to 1FFFFFFh."},
        {"10000", "wDATA", 0, 0xFFFF, false, 0,
         "The input value(10000) for the field 'wDATA' is expected to less or equal to FFFFh."},
        {"0", "Length", 1, 0x2000000, false, 0,
         "The intput value(0) for the field 'Length' is expected to larger or equal to 1h."},
        {"", "Address", 0, 0x1FFFFFF, false, 0, "Value '' is invalid for 'Address'"},
        {" 1", "Address", 0, 0x1FFFFFF, false, 0, "Value ' 1' is invalid for 'Address'"},
        {"-1", "Address", 0, 0x1FFFFFF, false, 0, "Value '-1' is invalid for 'Address'"},
        {"0x10", "Address", 0, 0x1FFFFFF, false, 0, "Value '0x10' is invalid for 'Address'"},
        // Values beyond 32 bits lie above every maximum instead of wrapping to 0 or below 0.
        {"100000000", "Address", 0, 0x1FFFFFF, false, 0,
         "The input value(100000000) for the field 'Address' is expected to less or equal to 1FFFFFFh."},
        {"FFFFFFFF", "Address", 0, 0x1FFFFFF, false, 0,
         "The input value(FFFFFFFF) for the field 'Address' is expected to less or equal to 1FFFFFFh."},
        {"FFFFFFFFFFFFFFFF", "Length", 1, 0x10, false, 0,
         "The input value(FFFFFFFFFFFFFFFF) for the field 'Length' is expected to less or equal to 10h."},
        {"10000000000000000", "Length", 1, 0x10, false, 0, "Value '10000000000000000' is invalid for 'Length'"},
    };
    for (const ParseCase& c : cases) {
        testsupport::NotifyRecorder notes;
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(TFormMemory::ParseHexField(c.text, c.field, c.minimum, c.maximum, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_TRUE(notes.messages.empty()) << c.text;
        } else {
            EXPECT_EQ(value, 0xDEADBEEFu) << c.text;
            ASSERT_EQ(notes.messages.size(), 1u) << c.text;
            EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
            EXPECT_EQ(notes.messages[0].text, c.box);
        }
    }
}

TEST(MemoryPageFields, EntireMemoryFillsAndLocksTheReadFields) {
    PageHarness h;
    TFormMemory& page = *h.page;
    page.EditMemReadAddr->setText("123");
    page.EditMemReadLen->setText("10");

    QTest::mouseClick(page.LabelEntireMemory, Qt::LeftButton);
    EXPECT_TRUE(page.CheckBoxMemReadEntireMem->isChecked());
    EXPECT_EQ(page.EditMemReadAddr->text(), "0000000");
    EXPECT_EQ(page.EditMemReadLen->text(), "2000000");
    EXPECT_FALSE(page.EditMemReadAddr->isEnabled());
    EXPECT_FALSE(page.EditMemReadLen->isEnabled());

    QTest::mouseClick(page.CheckBoxMemReadEntireMem, Qt::LeftButton);
    EXPECT_FALSE(page.CheckBoxMemReadEntireMem->isChecked());
    EXPECT_EQ(page.EditMemReadAddr->text(), "0000000");
    EXPECT_EQ(page.EditMemReadLen->text(), "2000000");
    EXPECT_TRUE(page.EditMemReadAddr->isEnabled());
    EXPECT_TRUE(page.EditMemReadLen->isEnabled());
}

TEST(MemoryPageFields, UncheckingFileLengthFillsTheWriteFieldsAndCheckingChangesNothing) {
    PageHarness h;
    TFormMemory& page = *h.page;
    page.EditMemWriteAddr->setText("40");
    page.EditMemWriteLen->setText("8");

    QTest::mouseClick(page.CheckBoxMemWriteFileLen, Qt::LeftButton);
    EXPECT_TRUE(page.CheckBoxMemWriteFileLen->isChecked());
    EXPECT_EQ(page.EditMemWriteAddr->text(), "40");
    EXPECT_EQ(page.EditMemWriteLen->text(), "8");
    EXPECT_TRUE(page.EditMemWriteLen->isEnabled());

    QTest::mouseClick(page.LabelFileLength, Qt::LeftButton);
    EXPECT_FALSE(page.CheckBoxMemWriteFileLen->isChecked());
    EXPECT_EQ(page.EditMemWriteAddr->text(), "0000000");
    EXPECT_EQ(page.EditMemWriteLen->text(), "2000000");
}

TEST(MemoryPageFields, ChoosingTheListEntryUpdatesTheTestArea) {
    PageHarness h;
    emit h.page->ComboBoxMemType->activated(0);
    EXPECT_EQ(h.testAreaUpdates, 1);
    EXPECT_TRUE(h.status.lines.empty()) << "the type did not change";
}

} // namespace
