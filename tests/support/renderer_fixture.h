// renderer_fixture.h - a fresh renderer singleton over a headless host window for
// every test, and the debugger output of the test.
#ifndef RENDERER_TESTS_RENDERER_FIXTURE_H
#define RENDERER_TESTS_RENDERER_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/renderer_impl.h"
#include "test_files.h"
#include "platform/platform.h"
#include "window/display_window.h"
#include "window/headless_window.h"

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
        ASSERT_NE(nullptr, renderer);
        host = headless::CreateHostWindow(100, 200, 800, 600);
        platform::DebugOutputLog().clear();
    }
    void TearDown() override {
        renderer->Uninit();
        renderer->ClearSong();
        *renderer = CGDIRendererImpl();  // back to the constructed state for the next test
        headless::DestroyHostWindow(host);
        platform::DebugOutputLog().clear();
    }
    bool InitDefault(int x = 10, int y = 20, int mode = 1, bool floating = false) {
        RendererLayout layout = renderer->layout;
        return renderer->Init("skins/none", host, x, y, &layout, mode, floating);
    }
    // Initialises over the flat-colour test skin with the default layout.
    bool InitWithFlatSkin() {
        RendererLayout layout = renderer->layout;
        const std::string skin = test_files::SourceDir() + "/tests/data/flat_skin";
        return renderer->Init(skin.c_str(), host, 0, 0, &layout, 1, false);
    }
    static std::vector<std::string> Log() { return platform::DebugOutputLog(); }

    CGDIRendererImpl* renderer = nullptr;
    RendererWindowHandle host = nullptr;
};

#endif
