// Shortcut keys as users type them: every accepted text means one key word, which reads back as the
// same keys; keys the shell would take from every program, and texts that name no key, are refused.
#include <gtest/gtest.h>

#include "mwpack/hotkey.h"

namespace {

TEST(Hotkey, TypedKeysGiveTheShellsWordAndReadBack)
{
    const struct {
        const char* typed;
        uint16_t word;
        const char* shown;
    } cases[] = {
        { "Ctrl+Alt+W", 0x0657, "Ctrl+Alt+W" },       { "alt+ctrl+w", 0x0657, "Ctrl+Alt+W" },
        { "Control+Shift+F12", 0x037B, "Ctrl+Shift+F12" }, { "Alt+9", 0x0439, "Alt+9" },
        { "Ctrl+PageDown", 0x0222, "Ctrl+PageDown" }, { "Ctrl+Alt+F24", 0x0687, "Ctrl+Alt+F24" },
    };
    for (const auto& wanted : cases) {
        uint16_t word = 0;
        std::string error;
        ASSERT_TRUE(ParseHotkey(wanted.typed, word, error)) << wanted.typed << ": " << error;
        EXPECT_EQ(word, wanted.word) << wanted.typed;
        EXPECT_EQ(HotkeyText(word), wanted.shown);
        uint16_t again = 0;
        EXPECT_TRUE(ParseHotkey(HotkeyText(word), again, error) && again == word) << wanted.typed;
    }
    EXPECT_EQ(HotkeyText(0), "");
}

TEST(Hotkey, KeysWithoutCtrlOrAltAndUnknownTextsAreRefused)
{
    for (const char* typed : { "W", "Shift+W", "F5", "Ctrl+", "Ctrl+Alt", "Ctrl+WW", "Ctrl+F0", "Ctrl+F25", "Ctrl+F1x",
                               "Win+W", "Ctrl+Ctrl+W", "", "+", "Ctrl++W", "Ctrl+Alt+é" }) {
        uint16_t word = 0xFFFF;
        std::string error;
        EXPECT_FALSE(ParseHotkey(typed, word, error)) << typed;
        EXPECT_FALSE(error.empty()) << typed;
        EXPECT_EQ(word, 0xFFFF) << typed;
    }
    std::string error;
    uint16_t word = 0;
    ParseHotkey("Shift+W", word, error);
    EXPECT_NE(error.find("needs Ctrl or Alt"), std::string::npos) << error;
}

}  // namespace
