#include "app/qt_user_port.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ledgora::app {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString StandardLabel(TButton button) {
  switch (button) {
    case TButton::Ok:
      return "OK";
    case TButton::Cancel:
      return "Annuler";
    case TButton::Abort:
      return "&Abandonner";
    case TButton::Retry:
      return "&Réessayer";
    case TButton::Ignore:
      return "&Ignorer";
    case TButton::Yes:
      return "&Oui";
    case TButton::No:
      return "&Non";
    case TButton::None:
      break;
  }
  return "OK";
}

QStyle::StandardPixmap PixmapOf(TIcon icon) {
  switch (icon) {
    case TIcon::Information:
      return QStyle::SP_MessageBoxInformation;
    case TIcon::Exclamation:
      return QStyle::SP_MessageBoxWarning;
    case TIcon::Question:
      return QStyle::SP_MessageBoxQuestion;
    case TIcon::Stop:
      return QStyle::SP_MessageBoxCritical;
    case TIcon::None:
      break;
  }
  return QStyle::SP_CustomBase;
}

// A message box of our own: Qt's box cannot tell which modifier keys were
// held when its button was pressed, which the in-use dialog needs.
class CMessageDialog : public QDialog {
 public:
  CMessageDialog(const TMessage& m, QWidget* parent) : QDialog(parent) {
    setWindowTitle(m.caption.empty() ? QString::fromUtf8(kProgramName.data(), kProgramName.size())
                                     : Q(m.caption));
    setObjectName("CMessageDialog");
    if (m.task_modal) setWindowModality(Qt::ApplicationModal);
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    if (m.icon != TIcon::None) {
      auto* icon = new QLabel(this);
      icon->setPixmap(style()->standardIcon(PixmapOf(m.icon)).pixmap(32, 32));
      icon->setAlignment(Qt::AlignTop);
      row->addWidget(icon);
    }
    auto* texts = new QVBoxLayout;
    auto* text = new QLabel(Q(m.text), this);
    text->setObjectName("text");
    text->setTextFormat(Qt::PlainText);
    if (m.text.size() > 160) {
      text->setWordWrap(true);
      text->setMinimumWidth(460);
    }
    texts->addWidget(text);
    for (const std::string& line : m.details) {
      auto* detail = new QLabel(Q(line), this);
      detail->setTextFormat(Qt::PlainText);
      detail->setWordWrap(true);
      texts->addSpacing(6);
      texts->addWidget(detail);
    }
    row->addLayout(texts, 1);
    outer->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::vector<TButton> set = ButtonsOf(m.buttons);
    for (std::size_t i = 0; i < set.size(); ++i) {
      const TButton b = set[i];
      auto* push = new QPushButton(i < m.labels.size() ? Q(m.labels[i]) : StandardLabel(b), this);
      push->setObjectName(QString("button%1").arg(static_cast<int>(b)));
      if (static_cast<int>(i) == m.default_index) {
        push->setDefault(true);
        push->setFocus();
      }
      connect(push, &QPushButton::clicked, this, [this, b] {
        ctrl_ = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
        done(static_cast<int>(b));
      });
      buttons->addWidget(push);
    }
    buttons->addStretch();
    outer->addLayout(buttons);
    // Escape answers the box as its cancelling button would.
    escape_ = set.size() == 1 ? set[0] : TButton::None;
    for (TButton b : set) {
      if (b == TButton::Cancel || b == TButton::No) escape_ = b;
    }
  }
  bool CtrlHeld() const { return ctrl_; }
  void reject() override {
    if (escape_ != TButton::None) done(static_cast<int>(escape_));
  }

 private:
  bool ctrl_ = false;
  TButton escape_ = TButton::None;
};

// One field: a text, a password or a date, with an optional browse button.
class CTextDialog : public QDialog {
 public:
  CTextDialog(const TTextRequest& r, QWidget* parent) : QDialog(parent), request_(r) {
    setWindowTitle(r.caption.empty() ? "Ledgora" : Q(r.caption));
    setObjectName("CTextDialog");
    auto* layout = new QVBoxLayout(this);
    // A request without a prompt shows its caption above the field.
    auto* prompt = new QLabel(r.prompt.empty() ? Q(r.caption) : Q(r.prompt), this);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* row = new QHBoxLayout;
    if (r.kind == TTextRequest::Kind::Date) {
      date_ = new QDateEdit(this);
      date_->setDisplayFormat("dd/MM/yyyy");
      date_->setCalendarPopup(true);
      QDate initial = QDate::fromString(Q(r.initial), "dd/MM/yyyy");
      date_->setDate(initial.isValid() ? initial : QDate::currentDate());
      prompt->setBuddy(date_);
      row->addWidget(date_, 1);
    } else {
      edit_ = new QLineEdit(Q(r.initial), this);
      edit_->setObjectName("field");
      if (r.kind == TTextRequest::Kind::Password) edit_->setEchoMode(QLineEdit::Password);
      if (r.max_chars > 0) edit_->setMaxLength(static_cast<int>(r.max_chars));
      edit_->setMinimumWidth(r.browse ? 320 : 200);
      prompt->setBuddy(edit_);
      row->addWidget(edit_, 1);
      if (r.browse) {
        auto* browse = new QPushButton("&Parcourir...", this);
        connect(browse, &QPushButton::clicked, this, [this] {
          TFileChoice choice = *request_.browse;
          if (choice.initial_name.empty()) choice.initial_name = edit_->text().toStdString();
          QString chosen = ChooseWith(choice, this);
          if (!chosen.isEmpty()) edit_->setText(chosen);
        });
        row->addWidget(browse);
      }
    }
    layout->addLayout(row);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText("Annuler");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
  }

  std::string Value() const {
    if (date_) return date_->date().toString("dd/MM/yyyy").toStdString();
    QString text = edit_->text();
    if (request_.upper_case) text = text.toUpper();
    return text.toStdString();
  }

  static QString ChooseWith(const TFileChoice& c, QWidget* parent) {
    QString start = Q(c.initial_folder);
    if (!c.initial_name.empty()) {
      start = start.isEmpty()
                  ? Q(c.initial_name)
                  : start + "/" + QString::fromStdString(c.initial_name).section('/', -1);
    }
    QFileDialog dialog(parent, Q(c.caption), start, QtFileFilter(c.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (c.mode == TFileChoice::Mode::Save) {
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      if (!c.confirm_overwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(c.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (!c.default_extension.empty()) dialog.setDefaultSuffix(Q(c.default_extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
  }

 private:
  TTextRequest request_;
  QLineEdit* edit_ = nullptr;
  QDateEdit* date_ = nullptr;
};

}  // namespace

QString QtFileFilter(const std::string& filter) {
  // Pairs of "description|pattern|"; Qt shows the description, whose
  // parenthesis gives the patterns. A description without one gets them.
  const QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const QString pattern = parts[i + 1];
    if (name.isEmpty()) continue;
    if (!name.contains('(')) name += " (" + pattern + ")";
    // Qt takes the patterns from the parenthesis; ";" separated patterns
    // become spaces.
    const int open = name.lastIndexOf('(');
    name = name.left(open) + "(" + QString(pattern).replace(';', ' ') + ")";
    out << name;
  }
  return out.join(";;");
}

std::unique_ptr<QDialog> MakeMessageDialog(const TMessage& message, QWidget* parent) {
  return std::make_unique<CMessageDialog>(message, parent);
}

std::unique_ptr<QDialog> MakeTextDialog(const TTextRequest& request, QWidget* parent) {
  return std::make_unique<CTextDialog>(request, parent);
}

CQtUserPort::~CQtUserPort() {
  while (wait_depth_ > 0) EndWaitCursor();
  delete progress_;
}

TReply CQtUserPort::Message(const TMessage& message) {
  // A modal box over the wait cursor shows the ordinary arrow.
  const bool waiting = wait_depth_ > 0;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  CMessageDialog dialog(message, parent_);
  const int result = dialog.exec();
  if (waiting) QApplication::restoreOverrideCursor();
  TReply reply;
  reply.button = result > 0 ? static_cast<TButton>(result) : TButton::Cancel;
  reply.ctrl_held = dialog.CtrlHeld();
  return reply;
}

std::optional<std::string> CQtUserPort::AskText(const TTextRequest& request) {
  CTextDialog dialog(request, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Value();
}

std::optional<std::string> CQtUserPort::ChooseFile(const TFileChoice& choice) {
  const QString chosen = CTextDialog::ChooseWith(choice, parent_);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

void CQtUserPort::BeginProgress(std::string_view text) {
  if (progress_depth_++ == 0) {
    progress_ = new QProgressDialog(QString::fromUtf8(text.data(), static_cast<int>(text.size())),
                                    QString(), 0, 100, parent_);
    progress_->setWindowTitle("Ledgora");
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setValue(0);
    progress_->show();
  } else if (progress_) {
    progress_->setLabelText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  }
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CQtUserPort::SetProgress(int percent) {
  if (!progress_) return;
  progress_->setValue(std::clamp(percent, 0, 100));
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CQtUserPort::EndProgress() {
  if (progress_depth_ == 0) return;
  if (--progress_depth_ == 0 && progress_) {
    progress_->close();
    progress_->deleteLater();
    progress_ = nullptr;
  }
}

void CQtUserPort::BeginWaitCursor() {
  ++wait_depth_;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtUserPort::EndWaitCursor() {
  if (wait_depth_ == 0) return;
  --wait_depth_;
  QApplication::restoreOverrideCursor();
}

int CQtUserPort::FocusedControlId() const {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->property("controlId").toInt() : 0;
}

}  // namespace ledgora::app
