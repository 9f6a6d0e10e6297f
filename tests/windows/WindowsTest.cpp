#include "dialogs/Form_Ajuda.h"
#include "dialogs/Form_MSGAlarme.h"
#include "dialogs/Form_senha.h"
#include "dialogs/Form_senha_apagar.h"
#include "dialogs/Unit_Control.h"
#include "dialogs/Unit_Painel_Botoes.h"
#include "dialogs/Unit_Senha_Comandar.h"
#include "records/EventLog.h"
#include "records/Form_Totalizador.h"
#include "records/Registros.h"
#include "records/TotalizerLog.h"

#include "core/Clock.h"
#include "core/LocaleFormats.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace telvara {
namespace {

class WindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "windows_tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv); // lives until the process ends, like the windows
        }
    }
};

TEST_F(WindowsTest, EachWindowHasItsNamesCaptionAndSize) {
    FakeClock clock{QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))};
    EventLog events(clock, LocaleFormats::brazilian(), 5);
    TotalizerLog totals(4);

    struct Case {
        std::function<QWidget*()> make;
        const char* instance;
        const char* className;
        QString caption;
        QSize size;
        bool fixed;
    };
    const Case cases[] = {
        {[] { return new TDigitarSenha; },
         "DigitarSenha",
         "telvara::TDigitarSenha",
         "SENHA",
         {222, 184},
         true},
        {[] { return new TForm_Senha_Apaga; },
         "Form_Senha_Apaga",
         "telvara::TForm_Senha_Apaga",
         "SENHA",
         {222, 184},
         true},
        {[] { return new TSenhaComandar; },
         "SenhaComandar",
         "telvara::TSenhaComandar",
         "SENHA",
         {222, 184},
         true},
        {[] { return new TFormAlarme; },
         "FormAlarme",
         "telvara::TFormAlarme",
         "ALARME",
         {394, 144},
         true},
        {[] { return new TForm_hELP; },
         "Form_hELP",
         "telvara::TForm_hELP",
         "AJUDA",
         {565, 450},
         false},
        {[] { return new TFormControl; },
         "FormControl",
         "telvara::TFormControl",
         QStringLiteral("Configurações"),
         {250, 500},
         true},
        {[] { return new TFormPainel; },
         "FormPainel",
         "telvara::TFormPainel",
         "Telvara - Controle e Monitoramento",
         {640, 570},
         false},
        {[&] { return new TForm_Registros(events); },
         "Form_Registros",
         "telvara::TForm_Registros",
         QStringLiteral("Relatório de Eventos"),
         {776, 568},
         false},
        {[&] { return new TFormTotal(totals); },
         "FormTotal",
         "telvara::TFormTotal",
         "Totalizador",
         {606, 487},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instance);
        std::unique_ptr<QWidget> w(c.make());
        EXPECT_EQ(w->objectName(), QLatin1String(c.instance));
        EXPECT_STREQ(w->metaObject()->className(), c.className);
        EXPECT_EQ(w->windowTitle(), c.caption);
        EXPECT_EQ(w->size(), c.size);
        if (c.fixed) {
            EXPECT_EQ(w->minimumSize(), c.size);
            EXPECT_EQ(w->maximumSize(), c.size);
        }
    }
}

TEST_F(WindowsTest, PasswordDialogsMaskTheirEditAndLimitItsLength) {
    TDigitarSenha software;
    TSenhaComandar command;
    TForm_Senha_Apaga erase;
    struct Case {
        PasswordDialog* dialog;
        const char* label;
        int maxLength;
        bool sair;
    };
    for (const Case& c : {Case{&software, "Senha de acesso:", 12, true},
                          Case{&command, "Senha para comando:", 12, true},
                          Case{&erase, "Senha:", QLineEdit().maxLength(), false}}) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.dialog->Label1->text(), QLatin1String(c.label));
        EXPECT_EQ(c.dialog->Edit1->echoMode(), QLineEdit::Password);
        EXPECT_EQ(c.dialog->Edit1->maxLength(), c.maxLength);
        EXPECT_EQ(c.dialog->Button1->text(), QLatin1String("Ok"));
        ASSERT_EQ(c.dialog->Button2 != nullptr, c.sair);
        if (c.sair) {
            EXPECT_EQ(c.dialog->Button2->text(), QLatin1String("Sair"));
        }
    }
}

TEST_F(WindowsTest, AlarmShowsCentredAndAsksForTheSoundOnlyWhenItWasHidden) {
    TFormAlarme alarme;
    EXPECT_EQ(alarme.Label1->text(), QLatin1String("ALARME"));
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    const QPoint centre((desktop.width() - 394) / 2, (desktop.height() - 144) / 2);

    EXPECT_TRUE(alarme.showAlarm(QStringLiteral("Alarme baixo em Tanque ! ")));
    EXPECT_TRUE(alarme.isVisible());
    EXPECT_EQ(alarme.pos(), centre);

    alarme.move(3, 4);
    EXPECT_FALSE(alarme.showAlarm(QStringLiteral("Alarme alto em Caldeira ! ")));
    EXPECT_EQ(alarme.Label1->text(), QLatin1String("Alarme alto em Caldeira ! "));
    EXPECT_EQ(alarme.pos(), centre);

    alarme.Button1->click();
    EXPECT_FALSE(alarme.isVisible());
    alarme.bringToFront();
    EXPECT_FALSE(alarme.isVisible());
    EXPECT_TRUE(alarme.showAlarm(QStringLiteral("Alarme baixo em Tanque ! ")));
    alarme.close();
}

TEST_F(WindowsTest, HelpHoldsTheWholeTextLineByLine) {
    TForm_hELP help;
    EXPECT_TRUE(help.Memo1->isReadOnly());
    const QStringList lines = help.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines.first(), QString());
    EXPECT_EQ(lines[1], QLatin1String("    F1 - Abre a tela de ajuda."));
    EXPECT_EQ(lines[8], QLatin1String("    "));
    EXPECT_EQ(lines.last(),
              QStringLiteral("        . Habilitá-los para serem exibidos no painel personalizado. "
                             "Este painel permitirá o comando das saídas e monitoração do estado "
                             "das entradas e saídas de cada dispositivo selecionado."));
}

TEST_F(WindowsTest, PanelListKeepsItsItemsSortedByText) {
    TFormPainel painel;
    painel.setItems(
        {{QStringLiteral("Portão"), QStringLiteral("vazio"), {}, "12345103", true, true},
         {QStringLiteral("Bomba"), QStringLiteral("vazio"), {}, "12345101", false, true}});
    ASSERT_EQ(painel.ListBox1->count(), 2);
    EXPECT_EQ(painel.ListBox1->item(0)->text(), QLatin1String("Bomba"));
    painel.setItemDetail(0, QStringLiteral("ON"));
    painel.setItemDetail(7, QStringLiteral("ignored"));
    EXPECT_EQ(painel.ListBox1->item(0)->data(Qt::UserRole + 1).toString(), QLatin1String("ON"));
    EXPECT_EQ(painel.CheckBoxIni->text(), QLatin1String("Abrir ao iniciar"));
}

class ReportWindowsTest : public WindowsTest {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bd"));
    FakeClock clock{QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))};
};

TEST_F(ReportWindowsTest, EventWindowShowsTheLogAndFollowsItsCaption) {
    EventLog log(clock, LocaleFormats::brazilian(), 5);
    log.open(path);
    TForm_Registros window(log);
    EXPECT_EQ(window.StringGrid1->model(), &log.grid());
    EXPECT_EQ(window.StringGrid1->model()->columnCount(), 9);

    log.load();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Relatório de Eventos - Último n: -1"));
    log.Registrar_log(PendingEvent{QStringLiteral("Comando"), QStringLiteral("ON"),
                                   QStringLiteral("10.0.0.7"), QStringLiteral("1234567"),
                                   QStringLiteral("Enviado"), QStringLiteral("Bomba"),
                                   QStringLiteral("3")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Relatório de Eventos - Último n: 1"));
    const QAbstractItemModel& shown = *window.StringGrid1->model();
    EXPECT_EQ(shown.data(shown.index(0, 3)).toString(), QLatin1String("Bomba"));
    // The grid selects the row that the next event fills.
    EXPECT_EQ(window.StringGrid1->currentIndex().row(), 1);
    EXPECT_EQ(window.Button2->text(), QLatin1String("Salvar"));
    EXPECT_EQ(window.Button1->text(), QLatin1String("Apagar"));
    EXPECT_EQ(window.Button3->text(), QLatin1String("Sair"));
}

TEST_F(ReportWindowsTest, TotalizerWindowShowsTheLogAndFollowsItsCaption) {
    TotalizerLog log(4);
    log.open(path);
    TFormTotal window(log);
    log.load();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Relatório de Totalizações - Último n: 0"));
    log.Registrar_Totalizador(PendingTotal{QStringLiteral("09/03/2024"), QStringLiteral("13:00:00"),
                                           QStringLiteral("1,50"), QStringLiteral("L"),
                                           QStringLiteral("10.0.0.7"), QStringLiteral("Bomba")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Relatório de Totalizações - Último n: 1"));
    const QAbstractItemModel& shown = *window.StringGrid1->model();
    EXPECT_EQ(shown.columnCount(), 6);
    EXPECT_EQ(shown.data(shown.index(0, 4)).toString(), QLatin1String("1,50"));
    EXPECT_EQ(shown.headerData(1, Qt::Horizontal).toString(), QLatin1String("Nome"));
    EXPECT_EQ(window.EditDataIni->date(), QDate(2017, 5, 15));
    EXPECT_TRUE(window.RadioNome->isChecked());
}

} // namespace
} // namespace telvara
