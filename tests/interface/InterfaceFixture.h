// A root view over a small two-language catalog, an in-memory settings domain,
// a manual main queue and window commands that record their calls.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/WindowCommands.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/qt/ManualMainQueue.h"

namespace corvanta::testing_support {

// A catalog of three packs: "alpha" with three categories, "beta" with one,
// and "gamma", listed without shortcuts.
inline const char* kInterfaceCatalog = R"({"software": [
  {"id": "alpha", "name": "Alpha Pad", "vendor": "Tests", "accent": "#3366FF", "glyph": "A",
   "bundleIdentifiers": ["com.example.alpha"], "group": "design", "dataStatus": "curated",
   "categories": [
     {"id": "edit", "zh": "编辑", "en": "Edit", "items": [
       {"id": "undo", "keys": ["⌘", "Z"], "zh": "撤销", "en": "Undo", "tags": ["edit"]},
       {"id": "redo", "keys": ["⇧", "⌘", "Z"], "zh": "重做", "en": "Redo", "tags": ["edit"]},
       {"id": "brush", "keys": ["]"], "zh": "画笔大小 10 px", "en": "Brush size 10 px", "tags": []}]},
     {"id": "view", "zh": "视图", "en": "View", "items": [
       {"id": "zoom", "keys": ["⌘", "+"], "zh": "放大", "en": "Zoom in", "tags": ["zoom"]},
       {"id": "space", "keys": ["Space"], "zh": "抓手工具", "en": "Hand tool", "tags": []}]},
     {"id": "file", "zh": "文件", "en": "File", "items": [
       {"id": "save", "keys": ["⌘", "S"], "zh": "存储。", "en": "Save.", "tags": ["file"]}]}]},
  {"id": "beta", "name": "Beta Board", "vendor": "Tests", "accent": "#22AA66", "glyph": "B",
   "bundleIdentifiers": ["com.example.beta"], "group": "office", "dataStatus": "curated",
   "categories": [{"id": "edit", "zh": "编辑", "en": "Edit", "items": [
     {"id": "copy", "keys": ["⌘", "C"], "zh": "拷贝", "en": "Copy", "tags": ["edit"]}]}]},
  {"id": "gamma", "name": "Gamma Sheet", "vendor": "Tests", "accent": "#AA2266", "glyph": "G",
   "group": "office", "dataStatus": "catalogOnly",
   "categories": [{"id": "edit", "zh": "编辑", "en": "Edit", "items": [
     {"id": "paste", "keys": ["⌘", "V"], "zh": "粘贴", "en": "Paste", "tags": []}]}]}
]})";

class InterfaceFixture : public ::testing::Test {
protected:
    InterfaceFixture() {
        platform::MainQueue::setShared(&queue);
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("corvanta-interface-test-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "catalog");
        std::ofstream(root_ / "catalog" / "shortcuts-mac.json") << kInterfaceCatalog;
    }
    ~InterfaceFixture() override {
        view.reset();
        store.reset();
        platform::MainQueue::setShared(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // Builds the store and the root view (sized like an expanded panel) and
    // runs the first render.
    CorvantaView& makeView(int width = 420, int height = 620) {
        store = std::make_unique<ShortcutStore>(platform::Bundle(root_, "org.corvanta.Tests"),
                                                defaults);
        view = std::make_unique<CorvantaView>(*store, commands);
        view->resize(width, height);
        view->show();
        drain();
        return *view;
    }
    // Replaces the catalog; call before makeView().
    void writeCatalog(const std::string& json) {
        std::ofstream(root_ / "catalog" / "shortcuts-mac.json", std::ios::trunc) << json;
    }
    // Builds only the store, for tests that need no view.
    ShortcutStore& makeStore() {
        store = std::make_unique<ShortcutStore>(platform::Bundle(root_, "org.corvanta.Tests"),
                                                defaults);
        return *store;
    }
    // Records the window calls; setExpanded completes when `completeWindow()`
    // is called (or at once when `autoComplete` is set).
    void recordWindowCommands(bool autoComplete = true) {
        commands.setExpanded = [this, autoComplete](bool expanded,
                                                    WindowCommands::Completion completion) {
            expandedCalls.push_back(expanded);
            if (autoComplete)
                completion();
            else
                pendingCompletions.push_back(std::move(completion));
        };
        commands.setPinned = [this](bool pinned) { pinnedCalls.push_back(pinned); };
        commands.closeWindow = [this] { ++closeCalls; };
    }
    void completeWindow() {
        auto completions = std::move(pendingCompletions);
        pendingCompletions.clear();
        for (auto& completion : completions) completion();
    }
    // Runs every ready turn, then lets `seconds` of virtual time pass.
    void drain(double seconds = 0) {
        queue.runUntilIdle();
        if (seconds > 0)
            queue.advance(seconds);
        queue.runUntilIdle();
        QApplication::processEvents();
    }
    // Expands the panel and waits until the machine is idle again.
    void expandPanel() {
        view->model().expand(false);
        drain(0.1);
        completeWindow();
        drain(0.1);
    }

    template <class T = QWidget>
    T* find(const QString& objectName) const {
        return view->findChild<T*>(objectName);
    }

    platform::ManualMainQueue queue;
    platform::MemoryUserDefaults defaults;
    WindowCommands commands;
    std::unique_ptr<ShortcutStore> store;
    std::unique_ptr<CorvantaView> view;
    std::vector<bool> expandedCalls;
    std::vector<bool> pinnedCalls;
    int closeCalls = 0;
    std::vector<WindowCommands::Completion> pendingCompletions;

private:
    std::filesystem::path root_;
};

}  // namespace corvanta::testing_support
