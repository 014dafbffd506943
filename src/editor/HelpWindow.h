#pragma once

#include <QString>
#include <QStringList>

class QTextBrowser;
class QWidget;

namespace korvel {

/// Help topic file names, one per window.
namespace HelpTopic {
inline const QString MainForm = QStringLiteral("简介2.htm");
inline const QString StartPage = QStringLiteral("Firstmain.htm");
inline const QString Options = QStringLiteral("工具.htm");
inline const QString NewLabel = QStringLiteral("新建wj.htm");
inline const QString PageSetup = QStringLiteral("页面设置.htm");
inline const QString PrinterSettings = QStringLiteral("打印机设置2.htm");
inline const QString Print = QStringLiteral("打印2.htm");
inline const QString Text = QStringLiteral("修改文本属性2.htm");
inline const QString Barcode = QStringLiteral("修改条码对象2.htm");
inline const QString Image = QStringLiteral("修改图像对象.htm");
inline const QString Rectangle = QStringLiteral("修改矩形属性.htm");
inline const QString Ellipse = QStringLiteral("修改椭圆属性.htm");
inline const QString Lines = QStringLiteral("修改线条属性.htm");
inline const QString Counter = QStringLiteral("计数器.htm");
inline const QString Date = QStringLiteral("日期.htm");
inline const QString Time = QStringLiteral("时间.htm");
inline const QString Formula = QStringLiteral("公式.htm");
inline const QString Database = QStringLiteral("数据库.htm");
/// Every topic above.
QStringList all();
} // namespace HelpTopic

/// The built-in title of the help window; a new topic closes the window of that title first.
inline const QString HelpWindowTitle = QStringLiteral("Korvel帮助");
/// The help window's title in the current language.
QString HelpWindowCaption();

/// The page of a topic: the English page when the language is English and that page exists,
/// else the Chinese page; empty when neither exists.
QString HelpFilePath(const QString& topic);

/// Shows a topic in the help window and returns that window. A missing page shows a short
/// notice in the window instead of failing. Asked from a modal dialog, the window comes up in
/// front of the dialog and can be used while the dialog stays open.
QTextBrowser* ShowHelpTopic(const QString& topic);
/// The help window now shown, or null.
QTextBrowser* CurrentHelpWindow();

/// Binds F1 in a window (and its children) to a help topic.
void BindHelpKey(QWidget* window, const QString& topic);

} // namespace korvel
