// The real program with its clipboard watched from a viewer that joined the
// chain first, so the test knows when the program has taken in a change.
#pragma once

#include "driver/AppProcess.h"
#include "driver/ClipboardViewer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Puts text on the clipboard as another program and waits until the
    // program has queued its handling.
    void change(const std::string& text);
    // Waits for the change that the program passes down the chain to this
    // test's viewer, then until the program has handled it.
    void settle(int drawsBefore);
    // A mouse message on a button's notification icon; buttons are numbered
    // from 1 in the order they were made.
    void click(std::uint32_t button, UINT mouseMessage);
    // Opens the stack menu of the active button and presses keys on it.
    void chooseFromStackMenu(std::uint32_t activeButton, std::initializer_list<WPARAM> keys);
    void command(UINT id);
    // The clipboard's text once it equals expected, or as it is at the time-out.
    std::string clipboardBecomes(const std::string& expected);

    ClipboardViewer viewer;
    AppProcess app;
};
