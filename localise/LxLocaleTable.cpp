#include "localise/LxLocaleTable.h"

#include <iterator>

namespace orv {

namespace {

// clang-format off
const TLxLocaleNames English = {
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
    {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}};

const TLxLocaleNames German = {
    {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"},
    {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}};

const TLxLocaleNames French = {
    {"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.", "déc."},
    {"janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre",
     "octobre", "novembre", "décembre"},
    {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."},
    {"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"}};

const TLxLocaleNames Spanish = {
    {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
    {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre",
     "octubre", "noviembre", "diciembre"},
    {"lun", "mar", "mié", "jue", "vie", "sáb", "dom"},
    {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"}};

const TLxLocaleNames Italian = {
    {"gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"},
    {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto",
     "settembre", "ottobre", "novembre", "dicembre"},
    {"lun", "mar", "mer", "gio", "ven", "sab", "dom"},
    {"lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica"}};

const TLxLocaleNames Dutch = {
    {"jan", "feb", "mrt", "apr", "mei", "jun", "jul", "aug", "sep", "okt", "nov", "dec"},
    {"januari", "februari", "maart", "april", "mei", "juni", "juli", "augustus", "september",
     "oktober", "november", "december"},
    {"ma", "di", "wo", "do", "vr", "za", "zo"},
    {"maandag", "dinsdag", "woensdag", "donderdag", "vrijdag", "zaterdag", "zondag"}};

const TLxLocaleNames Portuguese = {
    {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"},
    {"janeiro", "fevereiro", "março", "abril", "maio", "junho", "julho", "agosto", "setembro",
     "outubro", "novembro", "dezembro"},
    {"seg", "ter", "qua", "qui", "sex", "sáb", "dom"},
    {"segunda-feira", "terça-feira", "quarta-feira", "quinta-feira", "sexta-feira", "sábado",
     "domingo"}};

const TLxLocaleNames Swedish = {
    {"jan", "feb", "mar", "apr", "maj", "jun", "jul", "aug", "sep", "okt", "nov", "dec"},
    {"januari", "februari", "mars", "april", "maj", "juni", "juli", "augusti", "september",
     "oktober", "november", "december"},
    {"må", "ti", "on", "to", "fr", "lö", "sö"},
    {"måndag", "tisdag", "onsdag", "torsdag", "fredag", "lördag", "söndag"}};

const TLxLocaleNames Finnish = {
    {"tammi", "helmi", "maalis", "huhti", "touko", "kesä", "heinä", "elo", "syys", "loka",
     "marras", "joulu"},
    {"tammikuu", "helmikuu", "maaliskuu", "huhtikuu", "toukokuu", "kesäkuu", "heinäkuu",
     "elokuu", "syyskuu", "lokakuu", "marraskuu", "joulukuu"},
    {"ma", "ti", "ke", "to", "pe", "la", "su"},
    {"maanantai", "tiistai", "keskiviikko", "torstai", "perjantai", "lauantai", "sunnuntai"}};

const TLxLocaleNames Russian = {
    {"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"},
    {"январь", "февраль", "март", "апрель", "май", "июнь", "июль", "август", "сентябрь",
     "октябрь", "ноябрь", "декабрь"},
    {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"},
    {"понедельник", "вторник", "среда", "четверг", "пятница", "суббота", "воскресенье"}};

const TLxLocaleNames Polish = {
    {"sty", "lut", "mar", "kwi", "maj", "cze", "lip", "sie", "wrz", "paź", "lis", "gru"},
    {"styczeń", "luty", "marzec", "kwiecień", "maj", "czerwiec", "lipiec", "sierpień",
     "wrzesień", "październik", "listopad", "grudzień"},
    {"pn", "wt", "śr", "cz", "pt", "so", "N"},
    {"poniedziałek", "wtorek", "środa", "czwartek", "piątek", "sobota", "niedziela"}};

const TLxLocaleNames Czech = {
    {"led", "úno", "bře", "dub", "kvě", "čer", "čvc", "srp", "zář", "říj", "lis", "pro"},
    {"leden", "únor", "březen", "duben", "květen", "červen", "červenec", "srpen", "září",
     "říjen", "listopad", "prosinec"},
    {"po", "út", "st", "čt", "pá", "so", "ne"},
    {"pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota", "neděle"}};

const TLxLocaleNames Greek = {
    {"Ιαν", "Φεβ", "Μαρ", "Απρ", "Μαϊ", "Ιουν", "Ιουλ", "Αυγ", "Σεπ", "Οκτ", "Νοε", "Δεκ"},
    {"Ιανουάριος", "Φεβρουάριος", "Μάρτιος", "Απρίλιος", "Μάιος", "Ιούνιος", "Ιούλιος",
     "Αύγουστος", "Σεπτέμβριος", "Οκτώβριος", "Νοέμβριος", "Δεκέμβριος"},
    {"Δευ", "Τρι", "Τετ", "Πεμ", "Παρ", "Σαβ", "Κυρ"},
    {"Δευτέρα", "Τρίτη", "Τετάρτη", "Πέμπτη", "Παρασκευή", "Σάββατο", "Κυριακή"}};

const TLxLocaleNames Turkish = {
    {"Oca", "Şub", "Mar", "Nis", "May", "Haz", "Tem", "Ağu", "Eyl", "Eki", "Kas", "Ara"},
    {"Ocak", "Şubat", "Mart", "Nisan", "Mayıs", "Haziran", "Temmuz", "Ağustos", "Eylül",
     "Ekim", "Kasım", "Aralık"},
    {"Pzt", "Sal", "Çar", "Per", "Cum", "Cmt", "Paz"},
    {"Pazartesi", "Salı", "Çarşamba", "Perşembe", "Cuma", "Cumartesi", "Pazar"}};

const TLxLocaleNames Hebrew = {
    {"ינו", "פבר", "מרץ", "אפר", "מאי", "יונ", "יול", "אוג", "ספט", "אוק", "נוב", "דצמ"},
    {"ינואר", "פברואר", "מרץ", "אפריל", "מאי", "יוני", "יולי", "אוגוסט", "ספטמבר",
     "אוקטובר", "נובמבר", "דצמבר"},
    {"יום ב", "יום ג", "יום ד", "יום ה", "יום ו", "שבת", "יום א"},
    {"יום שני", "יום שלישי", "יום רביעי", "יום חמישי", "יום שישי", "שבת", "יום ראשון"}};

const TLxLocaleNames Arabic = {
    {"يناير", "فبراير", "مارس", "أبريل", "مايو", "يونيو", "يوليو", "أغسطس", "سبتمبر",
     "أكتوبر", "نوفمبر", "ديسمبر"},
    {"يناير", "فبراير", "مارس", "أبريل", "مايو", "يونيو", "يوليو", "أغسطس", "سبتمبر",
     "أكتوبر", "نوفمبر", "ديسمبر"},
    {"الاثنين", "الثلاثاء", "الأربعاء", "الخميس", "الجمعة", "السبت", "الأحد"},
    {"الاثنين", "الثلاثاء", "الأربعاء", "الخميس", "الجمعة", "السبت", "الأحد"}};

const TLxLocaleNames Japanese = {
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"},
    {"1月", "2月", "3月", "4月", "5月", "6月", "7月", "8月", "9月", "10月", "11月", "12月"},
    {"月", "火", "水", "木", "金", "土", "日"},
    {"月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日"}};

const TLxLocaleNames Chinese = {
    {"一月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "十一月", "十二月"},
    {"一月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "十一月", "十二月"},
    {"周一", "周二", "周三", "周四", "周五", "周六", "周日"},
    {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"}};

const TLxLocaleNames Korean = {
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"},
    {"1월", "2월", "3월", "4월", "5월", "6월", "7월", "8월", "9월", "10월", "11월", "12월"},
    {"월", "화", "수", "목", "금", "토", "일"},
    {"월요일", "화요일", "수요일", "목요일", "금요일", "토요일", "일요일"}};

// Primary, sub, code page; English language and country; native language and
// country; abbreviation, ISO 639, ISO 3166; measure; currency symbol, formats,
// digits; thousand, decimal and date separators; short and long date; time
// separator, AM, PM; leading zero, clock, AM/PM position; calendar, first day
// (0 Monday), first week; names.
const TLxLocaleData Table[] = {
    {9, 1, 1252, "English", "United States", "English", "United States", "ENU", "en", "US", 1,
     "$", 0, 0, 2, ",", ".", "/", "M/d/yyyy", "dddd, MMMM dd, yyyy", ":", "AM", "PM",
     false, 0, 0, 1, 6, 0, &English},
    {9, 2, 1252, "English", "United Kingdom", "English", "United Kingdom", "ENG", "en", "GB", 0,
     "£", 0, 1, 2, ",", ".", "/", "dd/MM/yyyy", "dd MMMM yyyy", ":", "AM", "PM",
     true, 1, 0, 1, 0, 2, &English},
    {9, 3, 1252, "English", "Australia", "English", "Australia", "ENA", "en", "AU", 0,
     "$", 0, 1, 2, ",", ".", "/", "d/MM/yyyy", "dddd, d MMMM yyyy", ":", "AM", "PM",
     false, 0, 0, 1, 0, 0, &English},
    {9, 4, 1252, "English", "Canada", "English", "Canada", "ENC", "en", "CA", 0,
     "$", 0, 1, 2, ",", ".", "/", "dd/MM/yyyy", "MMMM d, yyyy", ":", "AM", "PM",
     false, 0, 0, 1, 6, 0, &English},
    {9, 6, 1252, "English", "Ireland", "English", "Ireland", "ENI", "en", "IE", 0,
     "€", 2, 1, 2, ",", ".", "/", "dd/MM/yyyy", "dd MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 0, &English},
    {7, 1, 1252, "German", "Germany", "Deutsch", "Deutschland", "DEU", "de", "DE", 0,
     "€", 3, 8, 2, ".", ",", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &German},
    {7, 2, 1252, "German", "Switzerland", "Deutsch", "Schweiz", "DES", "de", "CH", 0,
     "Fr.", 2, 2, 2, "'", ".", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &German},
    {7, 3, 1252, "German", "Austria", "Deutsch", "Österreich", "DEA", "de", "AT", 0,
     "€", 2, 9, 2, ".", ",", ".", "dd.MM.yyyy", "dddd, dd. MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &German},
    {12, 1, 1252, "French", "France", "français", "France", "FRA", "fr", "FR", 0,
     "€", 3, 8, 2, "\u00A0", ",", "/", "dd/MM/yyyy", "dddd d MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &French},
    {12, 2, 1252, "French", "Belgium", "français", "Belgique", "FRB", "fr", "BE", 0,
     "€", 3, 8, 2, ".", ",", "/", "dd/MM/yyyy", "dddd d MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &French},
    {12, 3, 1252, "French", "Canada", "français", "Canada", "FRC", "fr", "CA", 0,
     "$", 3, 15, 2, "\u00A0", ",", "-", "yyyy-MM-dd", "d MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 6, 0, &French},
    {10, 1, 1252, "Spanish", "Spain", "español", "España", "ESP", "es", "ES", 0,
     "€", 3, 8, 2, ".", ",", "/", "dd/MM/yyyy", "dddd, dd' de 'MMMM' de 'yyyy", ":", "", "",
     false, 1, 0, 1, 0, 0, &Spanish},
    {10, 2, 1252, "Spanish", "Mexico", "español", "México", "ESM", "es", "MX", 0,
     "$", 0, 1, 2, ",", ".", "/", "dd/MM/yyyy", "dddd, dd' de 'MMMM' de 'yyyy", ":", "a.m.", "p.m.",
     true, 0, 0, 1, 6, 0, &Spanish},
    {16, 1, 1252, "Italian", "Italy", "italiano", "Italia", "ITA", "it", "IT", 0,
     "€", 2, 9, 2, ".", ",", "/", "dd/MM/yyyy", "dddd d MMMM yyyy", ".", "", "",
     true, 1, 0, 1, 0, 2, &Italian},
    {19, 1, 1252, "Dutch", "Netherlands", "Nederlands", "Nederland", "NLD", "nl", "NL", 0,
     "€", 2, 12, 2, ".", ",", "-", "d-M-yyyy", "dddd d MMMM yyyy", ":", "", "",
     false, 1, 0, 1, 0, 2, &Dutch},
    {19, 2, 1252, "Dutch", "Belgium", "Nederlands", "België", "NLB", "nl", "BE", 0,
     "€", 3, 8, 2, ".", ",", "/", "d/MM/yyyy", "dddd d MMMM yyyy", ":", "", "",
     false, 1, 0, 1, 0, 2, &Dutch},
    {22, 1, 1252, "Portuguese", "Brazil", "português", "Brasil", "PTB", "pt", "BR", 0,
     "R$", 2, 9, 2, ".", ",", "/", "dd/MM/yyyy", "dddd, d' de 'MMMM' de 'yyyy", ":", "", "",
     true, 1, 0, 1, 6, 0, &Portuguese},
    {22, 2, 1252, "Portuguese", "Portugal", "português", "Portugal", "PTG", "pt", "PT", 0,
     "€", 3, 8, 2, ".", ",", "-", "dd-MM-yyyy", "dddd, d' de 'MMMM' de 'yyyy", ":", "", "",
     true, 1, 0, 1, 6, 0, &Portuguese},
    {29, 1, 1252, "Swedish", "Sweden", "svenska", "Sverige", "SVE", "sv", "SE", 0,
     "kr", 3, 8, 2, "\u00A0", ",", "-", "yyyy-MM-dd", "'den 'd MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &Swedish},
    {11, 1, 1252, "Finnish", "Finland", "suomi", "Suomi", "FIN", "fi", "FI", 0,
     "€", 3, 8, 2, "\u00A0", ",", ".", "d.M.yyyy", "d. MMMM'ta 'yyyy", ":", "", "",
     false, 1, 0, 1, 0, 2, &Finnish},
    {25, 1, 1251, "Russian", "Russia", "русский", "Россия", "RUS", "ru", "RU", 0,
     "р.", 1, 5, 2, "\u00A0", ",", ".", "dd.MM.yyyy", "d MMMM yyyy 'г.'", ":", "", "",
     false, 1, 0, 1, 0, 0, &Russian},
    {21, 1, 1250, "Polish", "Poland", "polski", "Polska", "PLK", "pl", "PL", 0,
     "zł", 3, 8, 2, "\u00A0", ",", "-", "yyyy-MM-dd", "d MMMM yyyy", ":", "", "",
     true, 1, 0, 1, 0, 2, &Polish},
    {5, 1, 1250, "Czech", "Czech Republic", "čeština", "Česká republika", "CSY", "cs", "CZ", 0,
     "Kč", 3, 8, 2, "\u00A0", ",", ".", "d.M.yyyy", "d. MMMM yyyy", ":", "dop.", "odp.",
     false, 1, 0, 1, 0, 2, &Czech},
    {8, 1, 1253, "Greek", "Greece", "Ελληνικά", "Ελλάδα", "ELL", "el", "GR", 0,
     "€", 3, 8, 2, ".", ",", "/", "d/M/yyyy", "dddd, d MMMM yyyy", ":", "πμ", "μμ",
     false, 0, 0, 1, 0, 2, &Greek},
    {31, 1, 1254, "Turkish", "Turkey", "Türkçe", "Türkiye", "TRK", "tr", "TR", 0,
     "TL", 3, 8, 2, ".", ",", ".", "dd.MM.yyyy", "dd MMMM yyyy dddd", ":", "", "",
     true, 1, 0, 1, 0, 0, &Turkish},
    {13, 1, 1255, "Hebrew", "Israel", "עברית", "ישראל", "HEB", "he", "IL", 0,
     "₪", 2, 12, 2, ",", ".", "/", "dd/MM/yyyy", "dddd dd MMMM yyyy", ":", "AM", "PM",
     true, 1, 0, 1, 6, 0, &Hebrew},
    {1, 1, 1256, "Arabic", "Saudi Arabia", "العربية", "المملكة العربية السعودية", "ARA", "ar", "SA", 0,
     "ر.س.", 2, 2, 2, ",", ".", "/", "dd/MM/yy", "dd/MMMM/yyyy", ":", "ص", "م",
     true, 0, 0, 1, 5, 0, &Arabic},
    {17, 1, 932, "Japanese", "Japan", "日本語", "日本", "JPN", "ja", "JP", 0,
     "¥", 0, 1, 0, ",", ".", "/", "yyyy/MM/dd", "yyyy'年'M'月'd'日'", ":", "午前", "午後",
     false, 1, 1, 1, 6, 0, &Japanese},
    {4, 1, 950, "Chinese", "Taiwan", "中文", "台灣", "CHT", "zh", "TW", 0,
     "NT$", 0, 1, 2, ",", ".", "/", "yyyy/M/d", "yyyy'年'M'月'd'日'", ":", "上午", "下午",
     false, 0, 1, 1, 6, 0, &Chinese},
    {4, 2, 936, "Chinese", "People's Republic of China", "中文", "中华人民共和国", "CHS", "zh", "CN", 0,
     "¥", 0, 2, 2, ",", ".", "/", "yyyy/M/d", "yyyy'年'M'月'd'日'", ":", "上午", "下午",
     false, 1, 1, 1, 0, 0, &Chinese},
    {18, 1, 949, "Korean", "Korea", "한국어", "대한민국", "KOR", "ko", "KR", 0,
     "₩", 0, 1, 0, ",", ".", "-", "yyyy-MM-dd", "yyyy'년' M'월' d'일' dddd", ":", "오전", "오후",
     false, 0, 1, 1, 6, 0, &Korean},
};
// clang-format on

} // namespace

const TLxLocaleData *LocaleTable(size_t &Count)
{
    Count = std::size(Table);
    return Table;
}

const TLxLocaleData *FindLocaleData(int LocaleId)
{
    const int primary = LocaleId & 0x3FF;
    const int sub = (LocaleId >> 10) & 0x3F;
    for (const TLxLocaleData &row : Table)
        if (row.Primary == primary && row.Sub == sub)
            return &row;
    return nullptr;
}

} // namespace orv
