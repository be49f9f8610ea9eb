#include "adresse/adresse.h"

#include <QCheckBox>
#include <QPalette>

#include <algorithm>
#include <stdexcept>

#include "forms/combobox.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/textbox.h"
#include "forms/twips.h"

namespace zonitra {
namespace {

constexpr int kWidthTwips = 5775;
constexpr int kHeightTwips = 2295;
constexpr int kCommunes = 1;  // attribute of COMMUNE: the communes of the code

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

// An address attribute is one value: marks inside it show as spaces.
QString Shown(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return c == kelmor::kValueMark || c == kelmor::kSubValueMark; }, ' ');
    return Q(text);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) joined += (joined.empty() ? "" : "\r\n") + line;
    return joined;
}

void RequireFirst(std::int16_t first) {
    if (first < 1)
        throw std::invalid_argument("the address cannot start at attribute " +
                                    std::to_string(first));
}

// Letters typed in capitals; the accents go when the field is left.
void TypeCapitals(std::int16_t& keyAscii) {
    if (keyAscii > 0) keyAscii = std::int16_t(QChar(char16_t(keyAscii)).toUpper().unicode());
}

bool IsPostalCode(const QString& code) {
    return code.size() == 5 &&
           std::all_of(code.begin(), code.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Adresse::Adresse(QWidget* parent) : forms::Form(parent) {
    setObjectName(QStringLiteral("Adresse"));
    BuildScreen();
    resize(sizeHint());
}

Adresse::~Adresse() = default;

QSize Adresse::sizeHint() const {
    return {forms::TwipsToPixelsX(kWidthTwips, this), forms::TwipsToPixelsY(kHeightTwips, this)};
}

void Adresse::BuildScreen() {
    // The fields in a frame, as the editor's screens show theirs; positions in
    // twips, inside the frame.
    auto* frame = new forms::Frame(QStringLiteral("Adresse postale"), this);
    frame->setObjectName(QStringLiteral("Cdr_Adresse"));
    forms::Place(frame, 0, 0, kWidthTwips, 1965);
    auto label = [frame](const char* name, const QString& caption, int left, int top, int width) {
        auto* l = new forms::Label(caption, frame);
        l->setObjectName(QString::fromLatin1(name));
        forms::Place(l, left, top + 30, width, 252);
        return l;
    };
    auto text = [frame](const char* name, int left, int top, int width, int length) {
        auto* t = new forms::TextBox(frame);
        t->setObjectName(QString::fromLatin1(name));
        t->SetMaxLength(length);
        forms::Place(t, left, top, width, 288);
        return t;
    };
    constexpr int kField = 1320;  // left edge of the fields
    constexpr int kRight = 5655;  // their right edge
    const int row[] = {240, 570, 900, 1230, 1560};
    const int lineLength = int(postal::kLineLength);

    label("Etq_Ligne1", QStringLiteral("N° et voie"), 120, row[0], 1140);
    Txt_Ligne1 = text("Txt_Ligne1", kField, row[0], kRight - kField, lineLength);
    label("Etq_Ligne2", QStringLiteral("Complément"), 120, row[1], 1140);
    Txt_Ligne2 = text("Txt_Ligne2", kField, row[1], kRight - kField, lineLength);
    label("Etq_Ligne3", QStringLiteral("Lieu-dit, BP"), 120, row[2], 1140);
    Txt_Ligne3 = text("Txt_Ligne3", kField, row[2], kRight - kField, lineLength);

    label("Etq_CodePostal", QStringLiteral("Code postal"), 120, row[3], 1140);
    Txt_CodePostal = text("Txt_CodePostal", kField, row[3], 615, 5);
    Cbo_Commune = new forms::ComboBox(frame);
    Cbo_Commune->setObjectName(QStringLiteral("Cbo_Commune"));
    Cbo_Commune->Edit()->SetMaxLength(int(postal::kCommuneLength));
    forms::Place(Cbo_Commune, 2040, row[3] - 15, 2700, 315);
    Chk_Cedex = new QCheckBox(QStringLiteral("Cedex"), frame);
    Chk_Cedex->setObjectName(QStringLiteral("Chk_Cedex"));
    forms::Place(Chk_Cedex, 4860, row[3], 795, 288);

    label("Etq_Telephone", QStringLiteral("Téléphone"), 120, row[4], 1140);
    Txt_Telephone = text("Txt_Telephone", kField, row[4], 1575, 20);
    label("Etq_Fax", QStringLiteral("Fax"), 3240, row[4], 480);
    Txt_Fax = text("Txt_Fax", kRight - 1575, row[4], 1575, 20);

    Etq_Controle = new forms::Label(QString(), this);
    Etq_Controle->setObjectName(QStringLiteral("Etq_Controle"));
    QPalette warning = Etq_Controle->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa4, 0x00, 0x00));
    Etq_Controle->setPalette(warning);
    forms::Place(Etq_Controle, 120, 2010, kRight - 120, 255);

    int tab = 0;
    for (QWidget* field : Fields()) SetTabIndex(field, tab++);

    for (forms::TextBox* capitals : {Txt_Ligne1, Txt_Ligne3}) {
        capitals->KeyPress = TypeCapitals;
        capitals->LostFocus = [this, capitals] { Capitalise(capitals); };
    }
    Cbo_Commune->KeyPress = TypeCapitals;
    Cbo_Commune->LostFocus = [this] { Capitalise(Cbo_Commune->Edit()); };
    Txt_CodePostal->Change = [this] { Txt_CodePostal_Change(); };
    Txt_CodePostal->LostFocus = [this] { Check(); };
    for (forms::TextBox* number : {Txt_Telephone, Txt_Fax})
        number->LostFocus = [this, number] { Txt_Telephone_LostFocus(number); };
    connect(Chk_Cedex, &QCheckBox::toggled, this, [this] { Check(); });
}

std::vector<QWidget*> Adresse::Fields() const {
    return {Txt_Ligne1,  Txt_Ligne2, Txt_Ligne3,    Txt_CodePostal,
            Cbo_Commune, Chk_Cedex,  Txt_Telephone, Txt_Fax};
}

void Adresse::SetAddressDatabase(const std::shared_ptr<kelmor::Database>& database) {
    database_ = database;
}

void Adresse::SetAddressFlagA(std::int16_t value) {
    flagA_ = value;
}

void Adresse::SetAddressFlagB(std::int16_t value) {
    flagB_ = value;
    Check();
}

void Adresse::AddressPrepare() {
    communes_.reset();
    if (flagA_ != 0) {
        if (!database_)
            throw std::logic_error("Adresse.AddressPrepare: AddressDatabase was not set");
        if (database_->HasFile(kCommuneFile)) communes_ = database_->OpenFile(kCommuneFile);
    }
    for (forms::TextBox* field :
         {Txt_Ligne1, Txt_Ligne2, Txt_Ligne3, Txt_CodePostal, Txt_Telephone, Txt_Fax})
        field->SetText(QString());
    Cbo_Commune->Clear();
    Chk_Cedex->setChecked(false);
    problems_.clear();
    Etq_Controle->clear();
}

std::string Adresse::AddressLoad(std::int16_t first, const kelmor::DynArray& record) {
    RequireFirst(first);
    auto at = [&](postal::Field field) { return Shown(record.Get(first + field)); };
    Txt_Ligne1->SetText(at(postal::kLigne1));
    Txt_Ligne2->SetText(at(postal::kLigne2));
    Txt_Ligne3->SetText(at(postal::kLigne3));
    // The code first: the commune it may propose is then replaced by the stored one.
    Txt_CodePostal->SetText(at(postal::kCodePostal));
    Cbo_Commune->SetText(at(postal::kCommune));
    Txt_Telephone->SetText(at(postal::kTelephone));
    Txt_Fax->SetText(at(postal::kFax));
    {
        const QSignalBlocker quiet(Chk_Cedex);
        Chk_Cedex->setChecked(record.Get(first + postal::kCedex) == "1");
    }
    Check();
    return Joined(postal::PrintedLines(Edited()));
}

std::string Adresse::AddressSave(std::int16_t first, kelmor::DynArray& record) {
    RequireFirst(first);
    const postal::Address edited = Edited();
    const auto texts = postal::StoredTexts(edited);
    // All or nothing: every text is checked before the first is written.
    for (const std::string& text : texts) kelmor::CheckStorable(text, "an address field");
    for (int i = 0; i < postal::kFieldCount; ++i) record.Set(first + i, texts[std::size_t(i)]);
    return Joined(postal::PrintedLines(edited));
}

std::int16_t Adresse::AddressModified(std::int16_t first, const kelmor::DynArray& record) const {
    RequireFirst(first);
    const auto texts = postal::StoredTexts(Edited());
    for (int i = 0; i < postal::kFieldCount; ++i)
        if (record.Get(first + i) != texts[std::size_t(i)]) return -1;
    return 0;
}

postal::Address Adresse::Edited() const {
    return postal::Address{S(Txt_Ligne1->Text()),  S(Txt_Ligne2->Text()),
                           S(Txt_Ligne3->Text()),  S(Txt_CodePostal->Text()),
                           S(Cbo_Commune->Text()), S(Txt_Telephone->Text()),
                           S(Txt_Fax->Text()),     Chk_Cedex->isChecked()};
}

int Adresse::JoinTabOrder(forms::Form& host, int firstIndex) {
    for (QWidget* field : Fields()) host.SetTabIndex(field, firstIndex++);
    hosted_ = true;
    return firstIndex;
}

bool Adresse::focusNextPrevChild(bool next) {
    // Hosted: the host's tab order holds the fields; QWidget's own step hands
    // the move to the parent.
    if (hosted_ && !isWindow()) return QWidget::focusNextPrevChild(next);
    return forms::Form::focusNextPrevChild(next);
}

void Adresse::Txt_CodePostal_Change() {
    OfferCommunes();
}

void Adresse::OfferCommunes() {
    std::vector<std::string> communes;
    const QString code = Txt_CodePostal->Text();
    if (flagA_ != 0 && communes_ && IsPostalCode(code)) {
        const kelmor::ReadResult read = communes_->TryReadRecord(S(code));
        if (read.record)
            communes = read.record->Values(kCommunes);
        else if (read.error != kelmor::kNotFound)
            throw kelmor::Error(read.error, read.message);
    }
    if (communes == offered_) return;
    offered_ = communes;
    const QString commune = Cbo_Commune->Text();
    Cbo_Commune->Clear();
    for (const std::string& c : communes) Cbo_Commune->AddItem(Q(c));
    Cbo_Commune->SetText(commune.isEmpty() && communes.size() == 1 ? Q(communes.front()) : commune);
}

void Adresse::Capitalise(forms::TextBox* field) {
    field->SetText(Q(postal::PostalForm(S(field->Text()))));
    Check();
}

void Adresse::Txt_Telephone_LostFocus(forms::TextBox* field) {
    if (const auto form = postal::TelephoneForm(S(field->Text()))) field->SetText(Q(*form));
    Check();
}

void Adresse::Check() {
    problems_.clear();
    if (flagB_ != 0) {
        const postal::Address address = Edited();
        for (const std::string& problem : postal::Problems(address))
            problems_.push_back(Q(problem));
        if (!offered_.empty() && !address.commune.empty() && !address.cedex &&
            std::find(offered_.begin(), offered_.end(), address.commune) == offered_.end())
            problems_.push_back(QStringLiteral("La commune « %1 » n'est pas desservie par le "
                                               "code postal %2.")
                                    .arg(Q(address.commune), Q(address.codePostal)));
    }
    Etq_Controle->SetCaption(problems_.empty() ? QString() : problems_.front());
    QStringList all;
    for (const QString& problem : problems_) all << problem;
    Etq_Controle->setToolTip(all.join(QLatin1Char('\n')));
}

}  // namespace zonitra
