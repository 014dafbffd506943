#pragma once

#include "document/LabelDocument.h"
#include "document/OAInvertArea.h"
#include "document/OARectangle.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/MainForm.h"
#include "editor/UserPrompts.h"
#include "persistence/LabelFile.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace korvel::test {

/// Adds a rectangle (or an invert area) with the given bounds in view pixels at the document's
/// zoom, placed in whatever contains it.
inline TOAControl* AddBox(LabelDocument& doc, ObjectKind kind, int l, int t, int w, int h)
{
    std::unique_ptr<TOABoxShape> o;
    if (kind == ObjectKind::InvertArea)
        o = std::make_unique<TOAInvertArea>();
    else
        o = std::make_unique<TOARectangle>();
    TOAControl* raw = doc.appendObject(std::move(o));
    raw->setZoom(doc.zoom() / 100.0);
    static_cast<TOABoxShape*>(raw)->setVirBounds(l, t, w, h);
    doc.refreshContainment(raw);
    return raw;
}

/// Answers every question box and dialog of the designer and keeps what the user was told.
class FakePrompts : public UserPrompts {
public:
    struct Shown {
        QString title;
        QString text;
    };

    std::deque<Answer> answers; ///< next answers to Yes/No/Cancel questions (Cancel when empty)
    std::deque<QString> saveNames; ///< next save-dialog results ("" cancels)
    std::deque<QString> openNames; ///< next open-dialog results
    std::function<bool(QDialog*)> onDialog; ///< runs a modal dialog; rejects when unset

    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<Shown> saveDialogs; ///< title and preset name
    QStringList openDirectories;
    int dialogsRun = 0;

    Answer askYesNoCancel(QWidget*, const QString& title, const QString& text) override
    {
        questions.push_back({ title, text });
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(QWidget*, const QString& title, const QString& text, Icon) override
    {
        messages.push_back({ title, text });
    }
    QString saveFileName(
        QWidget*, const QString& title, const QString&, const QString& preset, const QString&, const QString&) override
    {
        saveDialogs.push_back({ title, preset });
        if (saveNames.empty())
            return {};
        const QString n = saveNames.front();
        saveNames.pop_front();
        return n;
    }
    QString openFileName(QWidget*, const QString&, const QString& directory, const QString&) override
    {
        openDirectories.append(directory);
        if (openNames.empty())
            return {};
        const QString n = openNames.front();
        openNames.pop_front();
        return n;
    }
    bool runDialog(QDialog* dialog) override
    {
        ++dialogsRun;
        return onDialog ? onDialog(dialog) : false;
    }
};

/// Writes a label of the given size (0.1 mm) with the writer the program uses.
inline QString WriteTestLabel(const QString& path, int widthTenths = 600, int heightTenths = 400)
{
    LabelDocument doc;
    TPageRecord page = TPageRecord::defaultRecord();
    page.LabelWidth = static_cast<std::uint16_t>(widthTenths);
    page.LabelHeight = static_cast<std::uint16_t>(heightTenths);
    page.applyAutoSize();
    doc.setPage(page);
    const LabelFileResult r = WriteLabelFile(path, doc);
    EXPECT_EQ(r.status, LabelFileResult::Status::Ok) << r.message.toStdString();
    return path;
}

inline void ProcessEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        // Closed windows go with deleteLater, which a bare processEvents leaves pending.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

/// A main window over a fresh settings folder, with every prompt answered by FakePrompts.
class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrompts(&prompts);
        SetCurrentLanguage(0);
        form = std::make_unique<TMainForm>(home.path());
        ASSERT_TRUE(form->initialize());
        form->show();
        ProcessEvents();
    }

    void TearDown() override
    {
        form.reset();
        ProcessEvents();
        SetPrompts(nullptr);
        SetCurrentLanguage(0);
    }

    /// A label file in the test's folder.
    QString label(const QString& name, int widthTenths = 600, int heightTenths = 400)
    {
        return WriteTestLabel(QDir(home.path()).filePath(name), widthTenths, heightTenths);
    }
    QString starter() const { return dataDir() + QStringLiteral("/Samples/Starter.kvl"); }

    ScopedHome home;
    FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
};

} // namespace korvel::test
