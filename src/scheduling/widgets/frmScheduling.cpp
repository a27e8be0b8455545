#include "scheduling/widgets/frmScheduling.h"

#include "comms/CalendarEvent.h"
#include "comms/HtmlExport.h"
#include "comms/widgets/DiscordPreview.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "scheduling/ClockChanges.h"
#include "scheduling/MatchText.h"
#include "scheduling/SchedulingMail.h"
#include "scheduling/widgets/SchedulingWindows.h"
#include "scheduling/widgets/WeekGridView.h"
#include "time/TimeText.h"
#include "time/TimeZoneCatalog.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"
#include "ui/Maintenance.h"
#include "ui/MemberPicker.h"
#include "ui/NumericEntry.h"
#include "ui/StatusMessage.h"
#include "ui/WindowRegistry.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace rm {

namespace {

const QString kSelectionError = QStringLiteral("Selection Error");

void warn(const QString& text, const QString& title) {
    ShowMessage(text, AlignCenterText, vbOKOnly, vbExclamation, title);
}

// The hourglass while a search runs.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The index of a best-times row's slot in the kept result; a person's key on an availability row.
constexpr int kSlotRole = Qt::UserRole;
constexpr int kPlayerRole = Qt::UserRole;

const char* const kDayCaptions[] = {"Sun", "M", "T", "W", "Th", "F", "Sat"};

} // namespace

frmScheduling::frmScheduling(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmScheduling"));
    setWindowTitle(tr("Practice and Match Scheduling"));
    setAttribute(Qt::WA_DeleteOnClose, true);

    // Select Members for Scheduling
    fmeSelect = new QGroupBox(tr("Select Members for Scheduling"), this);
    fmeSelect->setObjectName(QStringLiteral("fmeSelect"));
    ctlMembers = new MemberPicker({QStringLiteral("scheduling-tab"), true, true}, fmeSelect);
    auto* selectLayout = new QVBoxLayout(fmeSelect);
    selectLayout->addWidget(ctlMembers);

    // Who can make the match
    fmeAvailable = new QGroupBox(tr("Who can make the match"), this);
    fmeAvailable->setObjectName(QStringLiteral("fmeAvailable"));
    auto* lblDate = new QLabel(tr("Date:"), fmeAvailable);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    txtMatchDate = new QLineEdit(fmeAvailable);
    txtMatchDate->setObjectName(QStringLiteral("txtMatchDate"));
    lblDate->setBuddy(txtMatchDate);
    // The date as it was read, so that a day and month taken the wrong way round show at once.
    lblLongDate = new QLabel(fmeAvailable);
    lblLongDate->setObjectName(QStringLiteral("lblLongDate"));
    {
        // Room for the longest date of a year, so that a date typed later is not cut.
        int longest = 0;
        for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1))
            longest = std::max(longest, lblLongDate->fontMetrics().horizontalAdvance(LongMatchDate(d)));
        lblLongDate->setMinimumWidth(longest + 4);
    }
    auto* lblTime = new QLabel(tr("Time:"), fmeAvailable);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    txtMatchTime = new QLineEdit(fmeAvailable);
    txtMatchTime->setObjectName(QStringLiteral("txtMatchTime"));
    lblTime->setBuddy(txtMatchTime);
    // Room for the longest date and time the screen writes into them.
    WidenForText(txtMatchDate, FormatMatchDate(QDate(2026, 12, 28)));
    WidenForText(txtMatchTime, FormatTimeOfDay(23 * 60 + 30, false));
    lblShowCalendar =
        new QLabel(QStringLiteral("<a href=\"calendar\">%1</a>").arg(tr("Show Calendar")), fmeAvailable);
    lblShowCalendar->setObjectName(QStringLiteral("lblShowCalendar"));
    lblShowCalendar->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblShowCalendar->setToolTip(tr("Pick the match date on a calendar"));
    lstAvailable = new QListWidget(fmeAvailable);
    lstAvailable->setObjectName(QStringLiteral("lstAvailable"));
    imgShowAvailable =
        MakePictureButton(fmeAvailable, QStringLiteral("imgShowAvailable"), QStringLiteral("scheduling-show"),
                          tr("Show"), tr("Show who can make the match"));
    imgEmailAvailable = MakePictureButton(fmeAvailable, QStringLiteral("imgEmailAvailable"),
                                          QStringLiteral("scheduling-email"), tr("E-Mail"),
                                          tr("E-mail who can make the match"));
    imgAddToCalendar =
        MakePictureButton(fmeAvailable, QStringLiteral("imgAddToCalendar"), QStringLiteral("calendar"),
                          tr("Add to Calendar"), tr("Write the match as a calendar file (.ics)"));
    chkAttachEvent = new QCheckBox(tr("Attach to the e-mail"), fmeAvailable);
    chkAttachEvent->setObjectName(QStringLiteral("chkAttachEvent"));
    chkAttachEvent->setToolTip(tr("Send the match with the e-mail as a calendar event"));
    chkAttachEvent->setChecked(true);
    // Said when the clocks skip the typed time or pass it twice, or when it has already passed.
    lblMatchNote = new QLabel(fmeAvailable);
    lblMatchNote->setStyleSheet(QStringLiteral("QLabel { color: #a04000; font-weight: bold; }"));
    lblMatchNote->setObjectName(QStringLiteral("lblMatchNote"));
    lblMatchNote->setWordWrap(true);
    lblMatchNote->hide();
    imgClockChanges =
        MakePictureButton(fmeAvailable, QStringLiteral("imgClockChanges"), QStringLiteral("calendar"),
                          tr("Clock changes ahead"),
                          tr("The same weekday and time for the next 12 weeks, and whose clocks "
                             "change meanwhile"));
    auto* availableLayout = new QGridLayout(fmeAvailable);
    availableLayout->addWidget(lblDate, 0, 0);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(txtMatchDate);
    dateRow->addWidget(lblLongDate, 1);
    availableLayout->addLayout(dateRow, 0, 1);
    availableLayout->addWidget(lblShowCalendar, 0, 2);
    availableLayout->addWidget(lblTime, 1, 0);
    availableLayout->addWidget(txtMatchTime, 1, 1);
    availableLayout->addWidget(lblMatchNote, 2, 0, 1, 3);
    availableLayout->addWidget(lstAvailable, 3, 0, 1, 3);
    auto* availableButtons = new QHBoxLayout;
    availableButtons->addWidget(imgShowAvailable);
    availableButtons->addWidget(imgEmailAvailable);
    availableButtons->addWidget(imgAddToCalendar);
    availableButtons->addWidget(imgClockChanges);
    availableButtons->addWidget(chkAttachEvent);
    availableButtons->addStretch(1);
    availableLayout->addLayout(availableButtons, 4, 0, 1, 3);

    // Best Times for Practices and Matches
    fmeBestTimes = new QGroupBox(tr("Best Times for Practices and Matches"), this);
    fmeBestTimes->setObjectName(QStringLiteral("fmeBestTimes"));
    auto* lblWeekOf = new QLabel(tr("Week of:"), fmeBestTimes);
    lblWeekOf->setObjectName(QStringLiteral("lblWeekOf"));
    dtpWeekOf = new QDateEdit(Now().date(), fmeBestTimes);
    dtpWeekOf->setObjectName(QStringLiteral("dtpWeekOf"));
    dtpWeekOf->setCalendarPopup(true);
    dtpWeekOf->setDisplayFormat(
        QLocale().dateFormat(QLocale::ShortFormat).contains(QLatin1String("yyyy"))
            ? QLocale().dateFormat(QLocale::ShortFormat)
            : QLocale().dateFormat(QLocale::ShortFormat).replace(QLatin1String("yy"), QLatin1String("yyyy")));
    dtpWeekOf->setToolTip(tr("The seven days from this date are counted, each with its own clock changes"));
    lblWeekOf->setBuddy(dtpWeekOf);
    auto* weekOfRow = new QHBoxLayout;
    weekOfRow->addWidget(lblWeekOf);
    weekOfRow->addWidget(dtpWeekOf);
    weekOfRow->addStretch(1);
    auto* lblDays = new QLabel(tr("Restrict to these days"), fmeBestTimes);
    lblDays->setObjectName(QStringLiteral("lblRestrictDays"));
    auto* dayRow = new QHBoxLayout;
    for (int k = 0; k < 7; ++k) {
        auto* box = new QCheckBox(QString::fromLatin1(kDayCaptions[k]), fmeBestTimes);
        box->setObjectName(QStringLiteral("chkDay"));
        box->setProperty("index", k);
        box->setChecked(true);
        chkDay << box;
        dayRow->addWidget(box);
    }
    dayRow->addStretch(1);
    lstBestTimes = new QListWidget(fmeBestTimes);
    lstBestTimes->setObjectName(QStringLiteral("lstBestTimes"));
    lstBestTimes->setToolTip(tr("Double click on a time and show who!"));
    imgShowbestTimes =
        MakePictureButton(fmeBestTimes, QStringLiteral("imgShowbestTimes"), QStringLiteral("scheduling-show"),
                          tr("Show"), tr("Show the best times of the week"));
    imgEmailBestTimes =
        MakePictureButton(fmeBestTimes, QStringLiteral("imgEmailBestTimes"),
                          QStringLiteral("scheduling-email"), tr("E-Mail"), tr("E-mail the best times"));
    auto* bestLayout = new QVBoxLayout(fmeBestTimes);
    bestLayout->addLayout(weekOfRow);
    bestLayout->addWidget(lblDays);
    bestLayout->addLayout(dayRow);
    bestLayout->addWidget(lstBestTimes, 1);
    auto* bestButtons = new QHBoxLayout;
    bestButtons->addWidget(imgShowbestTimes);
    bestButtons->addWidget(imgEmailBestTimes);
    bestButtons->addStretch(1);
    bestLayout->addLayout(bestButtons);

    // The week at a glance
    fmeWeekGrid = new QGroupBox(tr("Week at a Glance"), this);
    fmeWeekGrid->setObjectName(QStringLiteral("fmeWeekGrid"));
    ctlWeekGrid = new WeekGridView(fmeWeekGrid);
    ctlWeekGridLegend = new WeekGridLegend(fmeWeekGrid);
    auto* lblWeekGrid = new QLabel(tr("Click a time and show who!"), fmeWeekGrid);
    lblWeekGrid->setObjectName(QStringLiteral("lblWeekGrid"));
    auto* gridLayout = new QVBoxLayout(fmeWeekGrid);
    gridLayout->addWidget(ctlWeekGridLegend);
    gridLayout->addWidget(ctlWeekGrid, 1);
    gridLayout->addWidget(lblWeekGrid);
    m_gridRefresh = new QTimer(this);
    m_gridRefresh->setSingleShot(true);
    m_gridRefresh->setInterval(0);

    auto* right = new QVBoxLayout;
    right->addWidget(fmeAvailable, 1);
    right->addWidget(fmeBestTimes, 1);
    auto* main = new QHBoxLayout(this);
    main->addWidget(fmeSelect, 1);
    main->addLayout(right, 2);
    main->addWidget(fmeWeekGrid, 2);

    SelectAllOnFocus(txtMatchDate);
    SelectAllOnFocus(txtMatchTime);
    txtMatchDate->installEventFilter(this);
    txtMatchTime->installEventFilter(this);

    connect(imgShowAvailable, &QToolButton::clicked, this, &frmScheduling::showAvailable);
    connect(imgShowbestTimes, &QToolButton::clicked, this, &frmScheduling::showBestTimes);
    connect(lstBestTimes, &QListWidget::itemDoubleClicked, this, &frmScheduling::showAvailableFor);
    connect(imgEmailAvailable, &QToolButton::clicked, this, &frmScheduling::emailAvailable);
    connect(imgAddToCalendar, &QToolButton::clicked, this, &frmScheduling::addToCalendar);
    connect(imgEmailBestTimes, &QToolButton::clicked, this, &frmScheduling::emailBestTimes);
    connect(imgClockChanges, &QToolButton::clicked, this, &frmScheduling::showClockChanges);
    addDiscordButtons(availableButtons, bestButtons);
    connect(lblShowCalendar, &QLabel::linkActivated, this, &frmScheduling::showCalendar);
    connect(ctlWeekGrid, &WeekGridView::cellChosen, this, &frmScheduling::showAvailableAt);
    connect(m_gridRefresh, &QTimer::timeout, this, &frmScheduling::refreshWeekGrid);
    const auto recount = [this] { m_gridRefresh->start(); };
    connect(ctlMembers, &MemberPicker::selectionChanged, this, recount);
    for (QCheckBox* box : std::as_const(chkDay))
        connect(box, &QCheckBox::toggled, this, recount);
    connect(dtpWeekOf, &QDateEdit::dateChanged, this, recount);
    AddOptionsLoadedListener(this, recount);
    connect(txtMatchDate, &QLineEdit::textChanged, this, [this](const QString& text) {
        const std::optional<QDate> date = ParseMatchDate(text);
        lblLongDate->setText(date ? LongMatchDate(*date) : QString());
    });

    m_gridRefresh->start();
}

BestTimesRequest frmScheduling::bestTimesRequest() const {
    const OptionsRecord& options = CurrentOptions();
    BestTimesRequest request;
    for (int k = 0; k < 7; ++k)
        request.days.at(k) = chkDay.at(k)->isChecked();
    request.step = options.BestTimesGranularity;
    request.zone = options.UserTimeZone;
    request.weekOf = dtpWeekOf->date();
    return request;
}

void frmScheduling::showWeek(CountedWeek week, const BestTimesRequest& request) {
    m_gridRefresh->stop();
    WeekGridModel* model = ctlWeekGrid->gridModel();
    model->setTimeFormat24(CurrentOptions().TimeFormat);
    model->setWeek(std::move(week), request,
                   request.weekOf.isValid() ? static_cast<Qt::DayOfWeek>(request.weekOf.dayOfWeek())
                                            : QLocale().firstDayOfWeek());
    ctlWeekGridLegend->setGroupSize(model->grid().groupSize());
}

void frmScheduling::refreshWeekGrid() {
    RunTrapped([this] {
        const BestTimesRequest request = bestTimesRequest();
        showWeek(CountWeek(currentSelection(), request), request);
    });
}

bool frmScheduling::playersListVisible() const {
    return ctlMembers->playersListVisible();
}

QList<QPair<qint32, QString>> frmScheduling::selectedPlayers() const {
    return ctlMembers->selectedPlayers();
}

QList<qint32> frmScheduling::selectedDivisions() const {
    return ctlMembers->selectedDivisions();
}

SearchSelection frmScheduling::currentSelection() const {
    SearchSelection selection;
    selection.byPlayer = playersListVisible();
    if (selection.byPlayer) {
        for (const auto& player : selectedPlayers())
            selection.players << player.first;
    } else {
        selection.divisions = selectedDivisions();
    }
    return selection;
}

bool frmScheduling::checkSelection() {
    if (ctlMembers->anySelected())
        return true;
    warn(playersListVisible() ? QStringLiteral("You must select Member(s) from the list!")
                              : QStringLiteral("You must select Division(s) from the list!"),
         kSelectionError);
    return false;
}

bool frmScheduling::matchMoment(QDate* date, int* minutes, ResolvedMoment* moment) {
    const std::optional<QDate> d = ParseMatchDate(txtMatchDate->text().trimmed());
    if (!d) {
        checkField(txtMatchDate);
        return false;
    }
    const std::optional<int> t = ParseMatchTime(txtMatchTime->text().trimmed());
    if (!t) {
        checkField(txtMatchTime);
        return false;
    }
    *date = *d;
    *minutes = *t;
    return RunTrapped([&] { *moment = MatchInstant(*d, *t, CurrentOptions().UserTimeZone); });
}

void frmScheduling::showAvailable() {
    const QString dateText = txtMatchDate->text().trimmed();
    const QString timeText = txtMatchTime->text().trimmed();
    if (dateText.isEmpty() || timeText.isEmpty()) {
        warn(QStringLiteral("Must supply a date and time!"), QStringLiteral("Missing Information"));
        return;
    }
    if (!checkSelection())
        return;
    // The fields are checked when they lose the focus; a text that got past that check (a button
    // pressed without leaving the field) is reported here instead of being searched.
    QDate date;
    int minutes = 0;
    ResolvedMoment moment;
    if (!matchMoment(&date, &minutes, &moment))
        return;
    lstAvailable->clear();
    m_available = {date, minutes, moment, {}};
    const bool h24 = CurrentOptions().TimeFormat;
    if (moment.kind == LocalKind::Skipped) {
        lblMatchNote->setText(
            tr("The clocks skip %1 on that day: the match is taken as %2.")
                .arg(FormatTimeOfDay(minutes, h24), FormatTimeOfDay(minutes + moment.movedMinutes, h24)));
    } else if (moment.kind == LocalKind::Repeated) {
        lblMatchNote->setText(tr("The clocks pass %1 twice on that day: the first time is taken.")
                                  .arg(FormatTimeOfDay(minutes, h24)));
    }
    // A past moment (a cell or a row of a week that has begun) is searched, but said so.
    if (moment.utc < Now().toUTC())
        lblMatchNote->setText(
            (moment.kind == LocalKind::Exact ? QString() : lblMatchNote->text() + QLatin1Char(' ')) +
            tr("That moment has already passed."));
    lblMatchNote->setVisible(moment.kind != LocalKind::Exact || moment.utc < Now().toUTC());
    BusyPointer busy;
    RunTrapped([&] {
        m_available.people = FindAvailable(currentSelection(), moment.utc);
        for (const AvailablePerson& person : std::as_const(m_available.people)) {
            auto* item = new QListWidgetItem(person.name, lstAvailable);
            item->setData(kPlayerRole, person.id);
        }
    });
}

void frmScheduling::showBestTimes() {
    if (!checkSelection())
        return;
    lstBestTimes->clear();
    m_bestTimes.clear();
    BusyPointer busy;
    RunTrapped([&] {
        const OptionsRecord& options = CurrentOptions();
        const BestTimesRequest request = bestTimesRequest();
        CountedWeek week;
        m_bestTimes = ShowBestTimes(currentSelection(), request, options.MaxResults, &week);
        for (int i = 0; i < m_bestTimes.size(); ++i) {
            auto* item =
                new QListWidgetItem(BestTimeEntry(m_bestTimes.at(i), options.TimeFormat), lstBestTimes);
            item->setData(kSlotRole, i);
            item->setToolTip(LongMatchDate(m_bestTimes.at(i).localDate));
        }
        showWeek(std::move(week), request);
    });
}

void frmScheduling::showAvailableFor(QListWidgetItem* bestTime) {
    if (!bestTime)
        return;
    // The moment the row was counted for, kept with the result: its text need not be read back.
    const int index = bestTime->data(kSlotRole).toInt();
    if (!bestTime->data(kSlotRole).isValid() || index < 0 || index >= m_bestTimes.size())
        return;
    const CountedSlot& slot = m_bestTimes.at(index);
    showAvailableAt(slot.localDate, slot.localMinutes);
}

void frmScheduling::showAvailableAt(const QDate& date, int minutes) {
    if (!date.isValid())
        return;
    txtMatchDate->setText(FormatMatchDate(date));
    txtMatchTime->setText(FormatTimeOfDay(minutes, CurrentOptions().TimeFormat));
    showAvailable();
}

void frmScheduling::showClockChanges() {
    if (!checkSelection())
        return;
    QDate date;
    int minutes = 0;
    ResolvedMoment moment;
    if (txtMatchDate->text().trimmed().isEmpty() || txtMatchTime->text().trimmed().isEmpty()) {
        warn(QStringLiteral("Must supply a date and time!"), QStringLiteral("Missing Information"));
        return;
    }
    if (!matchMoment(&date, &minutes, &moment))
        return;
    QStringList lines;
    BusyPointer busy;
    if (!RunTrapped([&] {
            lines = ClockChangeLines(
                ClockChangesAhead(currentSelection(), CurrentOptions().UserTimeZone, date, minutes),
                CurrentOptions().TimeFormat);
        }))
        return;
    frmClockChanges dialog(WeekdayName(SchedulingWeekday(date)) + QLatin1Char(' ') +
                               FormatTimeOfDay(minutes, CurrentOptions().TimeFormat),
                           lines, this);
    RunModal(&dialog);
}

void frmScheduling::emailAvailable() {
    if (m_available.people.isEmpty()) {
        warn(QStringLiteral("There are no results to E-Mail !"), QStringLiteral("General Error"));
        return;
    }
    SchedulingMail mail;
    if (!RunTrapped([&] {
            mail = AvailabilityMail(m_available.date, m_available.minutes, NamesOf(m_available.people),
                                    CurrentOptions().TimeFormat, TimeZoneName(CurrentOptions().UserTimeZone));
        }))
        return;
    EmailRequest request{QStringLiteral("S"), QString(), mail.subject, mail.message, this};
    request.matchUtc = m_available.moment.utc;
    request.leaderZone = CurrentOptions().UserTimeZone;
    if (chkAttachEvent->isChecked() && !matchEvent(&request.calendarEvent))
        return;
    OpenEmailWindow(request, this);
}

bool frmScheduling::matchEvent(QByteArray* text) {
    const QStringList names = NamesOf(m_available.people);
    bool made = false;
    RunTrapped([&] {
        const std::optional<QDateTime> start =
            LocalMomentToUtc(m_available.date, m_available.minutes, CurrentOptions().UserTimeZone);
        if (!start) {
            warn(QStringLiteral("Your time zone is not in the catalogue: choose one in the Options."),
                 QStringLiteral("Time Zone Missing"));
            return;
        }
        const QStringList summary =
            playersListVisible() ? QStringList() : DivisionsAndGames(selectedDivisions());
        *text = CalendarText(MatchEvent(*start, CurrentOptions().MatchLength, summary, names, Now().toUTC()));
        made = true;
    });
    return made;
}

void frmScheduling::addToCalendar() {
    if (m_available.people.isEmpty()) {
        warn(QStringLiteral("There are no results to add to a calendar !"), QStringLiteral("General Error"));
        return;
    }
    QByteArray text;
    if (!matchEvent(&text))
        return;
    QString path = AskSaveFileName(this, {QStringLiteral("Add to Calendar"), ExportFolder(),
                                          QStringLiteral("Calendar Files (*.ics)|*.ics")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ics");
    if (QFile::exists(path) &&
        ShowMessage(QStringLiteral("This Calendar File Already Exists... Overwrite?"), AlignCenterText,
                    vbYesNo, vbQuestion, QStringLiteral("Add to Calendar")) == vbNo)
        return;
    QString error;
    if (!WriteCalendarFile(path, text, &error))
        ShowMessage(error, AlignLeftText, vbOKOnly, vbCritical, QStringLiteral("Add to Calendar"));
    else
        ShowStatus(tr("Calendar file written to %1").arg(QDir::toNativeSeparators(path)));
}

void frmScheduling::emailBestTimes() {
    if (m_bestTimes.isEmpty()) {
        warn(QStringLiteral("There are no results to E-Mail !"), QStringLiteral("General Error"));
        return;
    }
    QStringList entries;
    for (const CountedSlot& slot : std::as_const(m_bestTimes))
        entries << BestTimeEntry(slot, CurrentOptions().TimeFormat);
    SchedulingMail mail;
    if (!RunTrapped([&] { mail = BestTimesMail(entries, TimeZoneName(CurrentOptions().UserTimeZone)); }))
        return;
    OpenEmailWindow({QStringLiteral("S"), QString(), mail.subject, mail.message, this}, this);
}

void frmScheduling::showCalendar() {
    const QDate initial = ParseMatchDate(txtMatchDate->text()).value_or(Now().date());
    frmCalendar calendar(initial, this);
    if (RunModal(&calendar) == QDialog::Accepted)
        txtMatchDate->setText(FormatMatchDate(calendar.selectedDate()));
}

bool frmScheduling::checkField(QLineEdit* field) {
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return true;
    const bool isDate = field == txtMatchDate;
    if (isDate ? ParseMatchDate(text).has_value() : ParseMatchTime(text).has_value())
        return true;
    m_checkingField = true;
    warn(isDate ? QStringLiteral("Invalid Date Format") : QStringLiteral("Invalid time Format"),
         QStringLiteral("Date Error"));
    m_checkingField = false;
    // Back into the field once the focus change that is under way has finished. The field that
    // had the focus meanwhile is not being left by the user: it is not checked now.
    QTimer::singleShot(0, field, [this, field] {
        m_refocusing = true;
        field->setFocus(Qt::OtherFocusReason);
        m_refocusing = false;
        field->selectAll();
    });
    return false;
}

bool frmScheduling::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == txtMatchDate || watched == txtMatchTime) &&
        !m_checkingField && !m_refocusing) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or another window taking the focus, or the screen closing, is not leaving
        // the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            static_cast<QWidget*>(watched)->isVisible())
            checkField(static_cast<QLineEdit*>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

frmCalendar::frmCalendar(const QDate& initial, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCalendar"));
    setWindowTitle(tr("Match Date"));
    setModal(true);
    calCalendar = new QCalendarWidget(this);
    calCalendar->setObjectName(QStringLiteral("calCalendar"));
    calCalendar->setGridVisible(true);
    calCalendar->setFirstDayOfWeek(Qt::Sunday);
    if (initial.isValid())
        calCalendar->setSelectedDate(initial);
    auto* ok = MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), tr("OK"),
                                 tr("Use the chosen date"));
    auto* cancel = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"),
                                     tr("Cancel"), tr("Close without choosing a date"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calCalendar);
    layout->addLayout(buttons);
    connect(ok, &QToolButton::clicked, this, &QDialog::accept);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);
    connect(calCalendar, &QCalendarWidget::activated, this, &QDialog::accept);
}

QDate frmCalendar::selectedDate() const {
    return calCalendar->selectedDate();
}

frmClockChanges::frmClockChanges(const QString& moment, const QStringList& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmClockChanges"));
    setWindowTitle(tr("Clock Changes Ahead"));
    setModal(true);
    auto* lblMoment = new QLabel(tr("%1 on your clock, for the next 12 weeks:").arg(moment), this);
    lblMoment->setObjectName(QStringLiteral("lblClockChangesMoment"));
    txtClockChanges = new QPlainTextEdit(this);
    txtClockChanges->setObjectName(QStringLiteral("txtClockChanges"));
    txtClockChanges->setReadOnly(true);
    txtClockChanges->setPlainText(lines.join(QLatin1Char('\n')));
    txtClockChanges->setMinimumSize(TwipsToPixels(7200, this), TwipsToPixels(3600, this));
    auto* ok =
        MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), tr("OK"), tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMoment);
    layout->addWidget(txtClockChanges, 1);
    layout->addLayout(buttons);
    connect(ok, &QToolButton::clicked, this, &QDialog::accept);
}

QString frmClockChanges::text() const {
    return txtClockChanges->toPlainText();
}

void RegisterSchedulingWindows() {
    RegisterTaskWindow(QStringLiteral("frmScheduling"), [] { return new frmScheduling; });
}

// Posting to Discord: the match of the availability result and the best times, each after a preview.

void frmScheduling::addDiscordButtons(QBoxLayout* availableButtons, QBoxLayout* bestButtons) {
    imgDiscordAvailable =
        MakePictureButton(fmeAvailable, QStringLiteral("imgDiscordAvailable"), QStringLiteral("discord-post"),
                          tr("Discord"), tr("Post the match and who can make it to Discord"));
    imgDiscordBestTimes =
        MakePictureButton(fmeBestTimes, QStringLiteral("imgDiscordBestTimes"), QStringLiteral("discord-post"),
                          tr("Discord"), tr("Post the best times to Discord"));
    availableButtons->insertWidget(availableButtons->count() - 1, imgDiscordAvailable); // before the stretch
    bestButtons->insertWidget(bestButtons->count() - 1, imgDiscordBestTimes);
    connect(imgDiscordAvailable, &QToolButton::clicked, this, &frmScheduling::discordAvailable);
    connect(imgDiscordBestTimes, &QToolButton::clicked, this, &frmScheduling::discordBestTimes);
}

QList<DiscordTarget> frmScheduling::discordTargets() const {
    return playersListVisible() ? QList<DiscordTarget>{ClanDiscordTarget()}
                                : DivisionDiscordTargets(selectedDivisions());
}

void frmScheduling::discordAvailable() {
    if (m_available.people.isEmpty()) {
        warn(QStringLiteral("There are no results to post !"), QStringLiteral("General Error"));
        return;
    }
    DiscordPost post;
    QList<DiscordTarget> targets;
    if (!RunTrapped([&] {
            MatchPostInput match;
            if (!playersListVisible())
                match.what = DivisionsAndGames(selectedDivisions()).join(QStringLiteral(", "));
            match.utc = m_available.moment.utc;
            match.lengthMinutes = CurrentOptions().MatchLength;
            QList<qint32> ids;
            for (const AvailablePerson& person : std::as_const(m_available.people))
                ids << person.id;
            match.members = ReadDiscordMembers(ids);
            post = MatchPost(match);
            targets = discordTargets();
        }))
        return;
    OpenDiscordPreview(post, targets, this);
}

void frmScheduling::discordBestTimes() {
    if (m_bestTimes.isEmpty()) {
        warn(QStringLiteral("There are no results to post !"), QStringLiteral("General Error"));
        return;
    }
    DiscordPost post;
    QList<DiscordTarget> targets;
    if (!RunTrapped([&] {
            QList<BestTimePostRow> rows;
            for (const CountedSlot& slot : std::as_const(m_bestTimes))
                rows << BestTimePostRow{slot.utc, slot.count()};
            const QString what = playersListVisible()
                                     ? QString()
                                     : DivisionsAndGames(selectedDivisions()).join(QStringLiteral(", "));
            post = BestTimesPost(what, rows);
            targets = discordTargets();
        }))
        return;
    OpenDiscordPreview(post, targets, this);
}

} // namespace rm
