// Helpers of the maintenance window tests: a main window that records what it was told, a
// temporary folder with a non-ASCII name, and a look at a bank file with Python's olefile.
#pragma once

#include "maintenance/ui/MaintenanceWindows.h"
#include "shell/SettingsStore.h"

#include "../../shell/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvo::test {

class RecordingHost : public MaintenanceHost {
public:
    void SaveEditedBody() override { calls.push_back("save"); }
    void ReloadSelectedBody() override { calls.push_back("reload"); }
    void RefillPasswordList() override { calls.push_back("refill"); }
    void RecordsAdded(TreeNode* top) override {
        calls.push_back("added");
        added = top;
    }
    QIcon RecordImage(int index) const override {
        QPixmap pixmap(16, 16);
        pixmap.fill(QColor::fromHsv(index * 40, 200, 200));
        return QIcon(pixmap);
    }
    std::vector<std::string> calls;
    TreeNode* added = nullptr;
};

/// The parts every maintenance window test needs.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        const std::filesystem::path base(dir.path().toStdString());
        folder = base / "данные";
        std::filesystem::create_directories(folder);
    }
    MaintenanceContext Context() { return {doc, settings, dialogs, host}; }

    /// Runs `script` with /usr/bin/python3; its standard output.
    std::string Python(const std::string& script) {
        const std::filesystem::path file = folder / "check.py";
        std::ofstream(file) << script;
        std::string out;
        const std::string command = "/usr/bin/python3 '" + file.string() + "' 2>&1";
        if (FILE* p = popen(command.c_str(), "r")) {
            char buf[4096];
            std::size_t n;
            while ((n = fread(buf, 1, sizeof buf, p)) > 0)
                out.append(buf, n);
            pclose(p);
        }
        return out;
    }

    QTemporaryDir dir;
    std::filesystem::path folder;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    ScriptedDialogs dialogs;
    RecordingHost host;
    CQuorvellineDoc doc;
};

inline QString U(const AnsiString& text) {
    return QString::fromStdString(AnsiToUtf8(text));
}
inline AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

} // namespace kelvo::test
