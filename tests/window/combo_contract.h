// The combo box of every front-end behaves alike: one suite
// (combo_contract_test.cpp) runs against each through this adapter, which
// each front-end's tests implement and instantiate the suite with.
#pragma once

#include "protocol/shared_state.h"
#include "window/tform1.h"
#include "window/view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvenia::testing {

// A front-end's window, created and shown, with TForm1 on it.
class ComboFrontEnd {
public:
    virtual ~ComboFrontEnd() = default;
    virtual TView& View() = 0;
    virtual TForm1& Form() = 0;
    virtual SharedState& State() = 0;
    // The addresses of the workers started so far.
    virtual const std::vector<std::string>& Started() const = 0;

    // What the user does, through the toolkit's own events: replaces the
    // edit field's text by typing `text` (Windows-1252 bytes) ...
    virtual void Type(const std::string& text) = 0;
    // ... and picks the item `index` from the list.
    virtual void Pick(int index) = 0;
    // How many rows the dropped-down list shows (it holds more).
    virtual int VisibleRows() = 0;
    // Whether the control is shown on the screen, as the toolkit has it.
    virtual bool ComboOnScreen() = 0;
    // Lets queued events of the toolkit run.
    virtual void Settle() = 0;
};

using ComboFrontEndFactory = std::unique_ptr<ComboFrontEnd> (*)();

class ComboContract : public ::testing::TestWithParam<ComboFrontEndFactory> {
protected:
    void SetUp() override { front_ = GetParam()(); }
    void TearDown() override { front_.reset(); }
    std::unique_ptr<ComboFrontEnd> front_;
};

} // namespace tarvenia::testing
