#include "app/mainwindow.h"

#include "app/windowsversion.h"
#include "online/kivadviewbutton.h"
#include "common/pathutils.h"
#include "online/siteaddresses.h"
#include "online/updatefunkiv.h"
#include "common/formwidgets.h"
#include "tools/combine/combinetables.h"
#include "tools/compare/duzozodkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

struct MainWindow::Form
{
    QWidget* centralwidget = nullptr;
    QPushButton* myAdViewButton = nullptr;
    QTextEdit* win10infoText = nullptr;
    QLabel* label = nullptr;
    QLabel* label_2 = nullptr;
    QPushButton* ExcelCompareFunButton = nullptr;
    QLabel* label_3 = nullptr;
    QPushButton* splitExcelByColFunButtonpl = nullptr;
    QLabel* label_4 = nullptr;
    QPushButton* splithExcelBySeetFunButton = nullptr;
    QLabel* label_5 = nullptr;
    QPushButton* combineFunButton = nullptr;
    QTextEdit* textEdit = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;
};

namespace {

const char* const kRichTextHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">"
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">p, li { white-space: "
    "pre-wrap; }</style></head><body style=\" font-family:'SimSun'; font-size:9pt; font-weight:400; "
    "font-style:normal;\">";
const char* const kParagraph =
    "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
    "text-indent:0px;\">";

QPushButton* toolButton(QWidget* parent, const char* objectName, int y)
{
    auto button = placedWidget<QPushButton>(parent, objectName, QRect(80, y, 201, 31));
    QFont font = button->font();
    font.setPointSize(12);
    button->setFont(font);
    return button;
}

QString richText(const QStringList& paragraphs)
{
    QString html = QString::fromLatin1(kRichTextHead);
    for (const QString& paragraph : paragraphs)
        html += QString::fromLatin1(kParagraph) + (paragraph.isEmpty() ? QStringLiteral("<br />") : paragraph)
                + QStringLiteral("</p>");
    return html + QStringLiteral("</body></html>");
}

// Lines of the text at this share of their natural height.
void setLineSpacing(QTextDocument* document, int percent)
{
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
    cursor.mergeBlockFormat(format);
}

// Sets the box's text at the largest size, down to one still readable, at which every line shows
// at the box's fixed size (the Chinese fallback font's lines are tall); the scroll bar stays for
// what does not fit even then.
void setWholeText(QTextEdit* box, const QString& html)
{
    const QString bodySize = QStringLiteral("font-size:9pt");
    box->document()->setDocumentMargin(1);
    const int visibleHeight = box->height() - 2 * box->frameWidth();
    const auto fits = [box, visibleHeight] {
        box->document()->setTextWidth(box->width() - 2 * box->frameWidth());
        return box->document()->size().height() <= visibleHeight;
    };
    box->setHtml(html);
    for (qreal size = 9; !fits() && size >= 7; size -= 0.5) {
        box->setHtml(QString(html).replace(bodySize, QStringLiteral("font-size:%1pt").arg(size)));
        setLineSpacing(box->document(), 70);
    }
    if (fits())
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace

void showToolWindow(QWidget* window)
{
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), updateDocumentUrl(::updateDocumentUrl())
{
    buildForm();
    retranslateForm();
    widenLabelsToFit(ui->centralwidget);
    QMetaObject::connectSlotsByName(this);
    ui->win10infoText->setVisible(runningWindowsRelease() == WindowsRelease::Windows10);
    updateCheck = new UpdateFunKiv(versionCode, updateDocumentUrl,
                                   joinPath(localDataFolder(), QStringLiteral("duZozodKivUpdate/update")));
    adViewButton = startBannerOn(ui->myAdViewButton, QStringLiteral("admw"));
}

MainWindow::~MainWindow()
{
    // Both may still have events pending.
    updateCheck->deleteLater();
    adViewButton->deleteLater();
    delete ui;
}

void MainWindow::buildForm()
{
    ui = new Form;
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    resize(367, 580);
    setMinimumSize(350, 450);
    setMaximumSize(1000, 1000);
    ui->centralwidget = new QWidget(this);
    ui->centralwidget->setObjectName(QStringLiteral("centralwidget"));
    QWidget* central = ui->centralwidget;
    ui->myAdViewButton = placedWidget<QPushButton>(central, "myAdViewButton", QRect(10, 10, 150, 100));
    ui->myAdViewButton->setFixedSize(150, 100);
    ui->win10infoText = placedWidget<QTextEdit>(central, "win10infoText", QRect(170, 10, 191, 101));
    ui->win10infoText->setReadOnly(true);
    ui->label = placedWidget<QLabel>(central, "label", QRect(20, 120, 311, 21));
    ui->label_2 = placedWidget<QLabel>(central, "label_2", QRect(40, 150, 54, 12));
    ui->ExcelCompareFunButton = toolButton(central, "ExcelCompareFunButton", 180);
    ui->label_3 = placedWidget<QLabel>(central, "label_3", QRect(40, 230, 54, 12));
    ui->splitExcelByColFunButtonpl = toolButton(central, "splitExcelByColFunButtonpl", 250);
    ui->label_4 = placedWidget<QLabel>(central, "label_4", QRect(40, 300, 54, 12));
    ui->splithExcelBySeetFunButton = toolButton(central, "splithExcelBySeetFunButton", 320);
    ui->label_5 = placedWidget<QLabel>(central, "label_5", QRect(40, 370, 54, 12));
    ui->combineFunButton = toolButton(central, "combineFunButton", 390);
    ui->textEdit = placedWidget<QTextEdit>(central, "textEdit", QRect(20, 460, 321, 71));
    ui->textEdit->setReadOnly(true);
    ui->textEdit->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setCentralWidget(central);
    ui->menubar = new QMenuBar(this);
    ui->menubar->setObjectName(QStringLiteral("menubar"));
    setMenuBar(ui->menubar);
    ui->statusbar = new QStatusBar(this);
    ui->statusbar->setObjectName(QStringLiteral("statusbar"));
    setStatusBar(ui->statusbar);
}

void MainWindow::retranslateForm()
{
    setWindowTitle(tr("KivExcel工具箱"));
    ui->win10infoText->setHtml(
        richText({QStringLiteral("<span style=\" font-size:10pt; font-weight:600; color:#ff0000;\">")
                  + tr("注意：如果您当前的系统是windows10,请确保以“Windows XP(Service "
                       "Pack3)”的“兼容模式”打开本应用程序，否则无法处理Excel。")
                  + QStringLiteral("</span>")}));
    ui->label->setText(tr("请选择功能："));
    ui->label_2->setText(tr("功能1："));
    ui->ExcelCompareFunButton->setText(tr("Excel对比"));
    ui->label_3->setText(tr("功能2："));
    ui->splitExcelByColFunButtonpl->setText(tr("按列分割为多个表"));
    ui->label_4->setText(tr("功能3："));
    ui->splithExcelBySeetFunButton->setText(tr("拆分每个表为单独的文件"));
    ui->label_5->setText(tr("功能4："));
    ui->combineFunButton->setText(tr("合并多个表/工作簿"));
    setWholeText(ui->textEdit,
                 richText({tr("KivExcel工具箱 版本：V1.0"), tr("主页：") + QStringLiteral(KIVEXCEL_HOME_PAGE),
                           tr("Q群：") + QStringLiteral("123456789") + tr(" （欢迎入群讨论）"),
                           tr("邮箱：") + QStringLiteral("kivexcel@example.com"), QString(),
                           tr("作者：") + QStringLiteral("Kiv")}));
}

template <typename Tool>
void MainWindow::showTool(Tool*& window)
{
    if (!window)
        window = new Tool(this);
    showToolWindow(window);
    if (!workbookToOpen.isEmpty()) {
        const QString path = workbookToOpen;
        workbookToOpen.clear();
        window->importWorkbook(path);
    }
}

void MainWindow::on_ExcelCompareFunButton_clicked()
{
    showTool(excelCompareWindow);
}

void MainWindow::on_splitExcelByColFunButtonpl_clicked()
{
    showTool(splitByColumnWindow);
}

void MainWindow::on_splithExcelBySeetFunButton_clicked()
{
    showTool(splitBySheetWindow);
}

void MainWindow::on_combineFunButton_clicked()
{
    showTool(combineWindow);
}
