// Every writer of the program against failing writes. Each row names a writer, the file it
// writes and what that file holds beforehand; each failure mode must make the writer report
// the failure, leave the file byte for byte as it was (or absent), and leave no temporary
// file. A new writer is one more row in Writers().
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "FailingDisk.h"
#include "desktop/platform/SafeWrite.h"
#include "desktop/scenario/mdlSinario.h"
#include "desktop/settings/UserPrefs.h"
#include "desktop/settings/mdlSystem.h"
#ifdef VAPORIA_GRAPH_WRITERS
#include <QImage>

#include "desktop/graph/GraphExport.h"
#include "core/graph/mdlGrph.h"
#endif

using failingdisk::ListFolder;
using failingdisk::ReadIfExists;
using failingdisk::WriteFixture;

namespace {

struct Writer {
    std::string name;
    QString fileName;                      // the file written, inside the test's folder
    std::optional<QByteArray> before;      // its bytes beforehand; nullopt: absent
    std::function<bool(const QString& folder)> save; // true when the writer reports success
    std::function<void(const QString& folder)> prepare = {}; // more than the file, when needed
};

// A school's CONFIG.INI with its own comments and sections.
QByteArray SchoolConfig()
{
    QByteArray text = "; 理科室のパソコン用\r\n[DATA]\r\ncontainer=22.4\r\nmol=2\r\n[school]\r\n";
    for (int i = 0; i < 60; ++i) text += "note" + QByteArray::number(i) + "=kept as written\r\n";
    return text;
}

mdlSinario::SinarioData Lesson()
{
    mdlSinario::SinarioData d;
    mdlSinario::SetTitle(d, QStringLiteral("25〜100℃の蒸気圧"));
    d.stepCount = 1;
    d.steps[1].kind = mdlSinario::StepTemp;
    d.steps[1].value = 25;
    return d;
}

std::vector<Writer> Writers()
{
    std::vector<Writer> rows;
    rows.push_back({"SafeWriteNewFile", "new.bin", std::nullopt, [](const QString& folder) {
                        return safewrite::WriteFileAtomically(folder + "/new.bin", QByteArray(4096, 'n')).ok;
                    }});
    rows.push_back({"SafeWriteOverFile", "old.bin", SchoolConfig(), [](const QString& folder) {
                        return safewrite::WriteFileAtomically(folder + "/old.bin", QByteArray(4096, 'n')).ok;
                    }});
    // A second hard link makes the save write in place: the old bytes must come back.
    rows.push_back({"SafeWriteInPlace", "old.bin", SchoolConfig(),
                    [](const QString& folder) {
                        // Larger than the pages the old file has: the growth needs new ones.
                        return safewrite::WriteFileAtomically(folder + "/old.bin", QByteArray(20000, 'n')).ok;
                    },
                    [](const QString& folder) {
                        (void)!::link(QFile::encodeName(folder + "/old.bin").constData(),
                                      QFile::encodeName(folder + "/other-name.bin").constData());
                    }});
    rows.push_back({"SettingsNewFile", "CONFIG.INI", std::nullopt, [](const QString& folder) {
                        SystemSettings s;
                        mdlSystem::InitSystemSettings(s);
                        return mdlSystem::SaveSystemSettings(s, {folder, QString()});
                    }});
    rows.push_back({"SettingsOverSchoolFile", "CONFIG.INI", SchoolConfig(), [](const QString& folder) {
                        SystemSettings s;
                        mdlSystem::InitSystemSettings(s);
                        s.container = 22.4;
                        return mdlSystem::SaveSystemSettings(s, {folder, QString()});
                    }});
    rows.push_back({"ScenarioNewFile", "lesson.so1", std::nullopt, [](const QString& folder) {
                        return mdlSinario::WriteSinarioFile(Lesson(), folder + "/lesson.so1");
                    }});
    // A longer file than the record: the overwrite must not tear it.
    rows.push_back({"ScenarioOverLongerFile", "lesson.so1", QByteArray(3000, '\x5A'), [](const QString& folder) {
                        return mdlSinario::WriteSinarioFile(Lesson(), folder + "/lesson.so1");
                    }});
    rows.push_back({"UserPrefs", "preferences.ini", QByteArray("[vaporia]\nzoom=150\n"), [](const QString& folder) {
                        // The whole file is a few dozen bytes, still above the limit of the test.
                        return userprefs::SaveUserPrefs({200, true}, folder + "/preferences.ini");
                    }});
#ifdef VAPORIA_GRAPH_WRITERS
    // The graph's picture and table, saved as from the menu: a failure must be told.
    const auto graphSave = [](const QString& path, auto save) {
        graph::GraphExport out;
        out.SetPathChooser([path](QWidget*, graph::GraphExport::Kind) { return path; });
        out.SetReplaceQuestion([](QWidget*, const QString&) { return true; });
        int notices = 0;
        out.SetNotice([&](QWidget*, const QString&) { ++notices; });
        return save(out) || notices == 0;
    };
    rows.push_back({"GraphPictureOverFile", "curve.png", QByteArray(300, 'p'), [=](const QString& folder) {
                        QImage image(945, 1002, QImage::Format_RGB32);
                        image.fill(Qt::white);
                        return graphSave(folder + "/curve.png", [&](graph::GraphExport& out) {
                            return out.SaveImage(nullptr, image);
                        });
                    }});
    rows.push_back({"PointsTableNewFile", "points.csv", std::nullopt, [=](const QString& folder) {
                        mdlGrph::PlotRecord record;
                        mdlGrph::PlottedPoint point;
                        point.pressureText = "760.0";
                        for (int i = 0; i < 100; ++i) record.Add(point);
                        const std::string csv = mdlGrph::PointsCsv(record);
                        // Named without its extension, as a user types it.
                        return graphSave(folder + "/points", [&](graph::GraphExport& out) {
                            return out.SaveCsv(nullptr, QByteArray::fromStdString(csv));
                        });
                    }});
#endif
    return rows;
}

void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

enum class Mode { FileSizeLimit, FullDisk };

class WriteFailure : public ::testing::TestWithParam<std::tuple<Writer, Mode>> {};

void Prepare(const Writer& w, const QString& folder)
{
    if (w.before) WriteFixture(folder + u'/' + w.fileName, *w.before);
    if (w.prepare) w.prepare(folder);
}

// The row's expectations after the failed save; empty when all hold.
QString Check(const Writer& w, bool saved, const QString& folder, const QString& listingBefore,
              const QString& except)
{
    QString what;
    if (saved) what += QStringLiteral("the save reported success; ");
    if (ReadIfExists(folder + u'/' + w.fileName) != w.before)
        what += QStringLiteral("the file changed; ");
    const QString after = ListFolder(folder, except);
    if (after != listingBefore)
        what += QStringLiteral("the folder changed from\n%1to\n%2").arg(listingBefore, after);
    return what;
}

TEST_P(WriteFailure, IsReportedAndLeavesTheFileAsItWas)
{
    // Not a structured binding: clang 14 cannot capture one in the lambdas below.
    const Writer& w = std::get<0>(GetParam());
    const Mode mode = std::get<1>(GetParam());
    if (mode == Mode::FileSizeLimit) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        Prepare(w, dir.path());
        const QString before = ListFolder(dir.path());
        bool saved = true;
        failingdisk::WithFileSizeLimit(16, [&] { saved = w.save(dir.path()); });
        const QString what = Check(w, saved, dir.path(), before, QString());
        EXPECT_TRUE(what.isEmpty()) << what.toStdString();
        return;
    }
    QString what;
    QString before;
    const auto outcome = failingdisk::InFullTmpfs(
        [&](const QString& folder) {
            Prepare(w, folder);
            before = ListFolder(folder);
        },
        [&](const QString& folder, QString& message) {
            message = Check(w, w.save(folder), folder, before, QStringLiteral(".filler"));
            return message.isEmpty();
        },
        what);
    if (outcome == failingdisk::Child::Unavailable) GTEST_SKIP() << "no tmpfs can be mounted here";
    EXPECT_EQ(outcome, failingdisk::Child::Passed) << what.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    EveryWriter, WriteFailure,
    ::testing::Combine(::testing::ValuesIn(Writers()),
                       ::testing::Values(Mode::FileSizeLimit, Mode::FullDisk)),
    [](const auto& info) {
        const bool limit = std::get<1>(info.param) == Mode::FileSizeLimit;
        return std::get<0>(info.param).name + (limit ? "_FileSizeLimit" : "_FullDisk");
    });

} // namespace
