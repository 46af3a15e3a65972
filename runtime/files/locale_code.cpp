// The "LOCALE" answer: the user's locale as the platform language identifier
// (primary language in the low 10 bits, sub-language above), then the
// identifier's code from the table below with its renames.
#include <algorithm>
#include <string>

#include "files/platform_info.h"

namespace vlm {

namespace {

struct LanguageRow {
    std::uint16_t id;
    const char* code;
};

// The codes programs have always received, quirks included (0x0409 is "UK").
constexpr LanguageRow kLanguageTable[] = {
    {0x0401, "AR"}, {0x0402, "BG"}, {0x0403, "CA"}, {0x0404, "CH"}, {0x0405, "CS"}, {0x0406, "DA"}, {0x0407, "DE"}, {0x0408, "EL"},
    {0x0409, "UK"}, {0x040a, "ES"}, {0x040b, "FI"}, {0x040c, "FR"}, {0x040d, "HE"}, {0x040e, "HU"}, {0x040f, "IS"}, {0x0410, "IT"},
    {0x0411, "JP"}, {0x0412, "KO"}, {0x0413, "NL"}, {0x0414, "NO"}, {0x0415, "PL"}, {0x0416, "PT"}, {0x0418, "RO"}, {0x0419, "RU"},
    {0x041a, "HR"}, {0x041b, "SK"}, {0x041c, "SQ"}, {0x041d, "SV"}, {0x041e, "TH"}, {0x041f, "TR"}, {0x0420, "UR"}, {0x0421, "IN"},
    {0x0422, "UK"}, {0x0423, "BE"}, {0x0424, "SL"}, {0x0425, "ET"}, {0x0426, "LV"}, {0x0427, "LT"}, {0x0429, "FA"}, {0x042a, "VI"},
    {0x042b, "HY"}, {0x042c, "AZ"}, {0x042d, "EU"}, {0x042f, "MK"}, {0x0436, "AF"}, {0x0437, "KA"}, {0x0438, "FO"}, {0x0439, "HI"},
    {0x043e, "MS"}, {0x043f, "KK"}, {0x0440, "KY"}, {0x0441, "SW"}, {0x0443, "UZ"}, {0x0444, "TT"}, {0x0445, "BE"}, {0x0446, "PA"},
    {0x0447, "GU"}, {0x0448, "OR"}, {0x0449, "TA"}, {0x044a, "TE"}, {0x044b, "KA"}, {0x044c, "MA"}, {0x044d, "AS"}, {0x044e, "MA"},
    {0x044f, "SA"}, {0x0450, "MO"}, {0x0456, "GL"}, {0x0457, "KN"}, {0x045a, "SY"}, {0x0465, "DI"}, {0x0801, "AR"}, {0x0804, "CH"},
    {0x0807, "DE"}, {0x0809, "EN"}, {0x080a, "ES"}, {0x080c, "FR"}, {0x0810, "IT"}, {0x0813, "NL"}, {0x0814, "NO"}, {0x0816, "PT"},
    {0x081a, "SR"}, {0x081d, "SV"}, {0x0820, "UR"}, {0x0827, "LT"}, {0x082c, "AZ"}, {0x083e, "MS"}, {0x0843, "UZ"}, {0x0c01, "AR"},
    {0x0c04, "ZH"}, {0x0c07, "DE"}, {0x0c09, "EN"}, {0x0c0a, "ES"}, {0x0c0c, "FR"}, {0x0c1a, "SR"}, {0x1001, "AR"}, {0x1004, "ZH"},
    {0x1007, "DE"}, {0x1009, "EN"}, {0x100a, "ES"}, {0x100c, "FR"}, {0x1401, "AR"}, {0x1404, "ZH"}, {0x1407, "DE"}, {0x1409, "EN"},
    {0x140a, "ES"}, {0x140c, "FR"}, {0x1801, "AR"}, {0x1809, "EN"}, {0x180a, "ES"}, {0x180c, "FR"}, {0x1c01, "AR"}, {0x1c09, "EN"},
    {0x1c0a, "ES"}, {0x2001, "AR"}, {0x2009, "EN"}, {0x200a, "ES"}, {0x2401, "AR"}, {0x2409, "EN"}, {0x240a, "ES"}, {0x2801, "AR"},
    {0x2809, "EN"}, {0x280a, "ES"}, {0x2c01, "AR"}, {0x2c09, "EN"}, {0x2c0a, "ES"}, {0x3001, "AR"}, {0x3009, "EN"}, {0x300a, "ES"},
    {0x3401, "AR"}, {0x3409, "EN"}, {0x340a, "ES"}, {0x3801, "AR"}, {0x380a, "ES"}, {0x3c01, "AR"}, {0x3c0a, "ES"}, {0x4001, "AR"},
    {0x400a, "ES"}, {0x440a, "ES"}, {0x480a, "ES"}, {0x4c0a, "ES"}, {0x500a, "ES"},
};

// Primary language identifiers by ISO 639 language code.
struct PrimaryLanguage {
    const char* language;
    std::uint16_t primary;
};
constexpr PrimaryLanguage kPrimaryLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0a}, {"fi", 0x0b}, {"fr", 0x0c}, {"he", 0x0d}, {"hu", 0x0e},
    {"is", 0x0f}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
    {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1a}, {"sr", 0x1a},
    {"bs", 0x1a}, {"sk", 0x1b}, {"sq", 0x1c}, {"sv", 0x1d}, {"th", 0x1e}, {"tr", 0x1f}, {"ur", 0x20},
    {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27},
    {"fa", 0x29}, {"vi", 0x2a}, {"hy", 0x2b}, {"az", 0x2c}, {"eu", 0x2d}, {"mk", 0x2f}, {"af", 0x36},
    {"ka", 0x37}, {"fo", 0x38}, {"hi", 0x39}, {"ms", 0x3e}, {"kk", 0x3f}, {"ky", 0x40}, {"sw", 0x41},
    {"uz", 0x43}, {"tt", 0x44}, {"bn", 0x45}, {"pa", 0x46}, {"gu", 0x47}, {"or", 0x48}, {"ta", 0x49},
    {"te", 0x4a}, {"kn", 0x4b}, {"ml", 0x4c}, {"as", 0x4d}, {"mr", 0x4e}, {"sa", 0x4f}, {"mn", 0x50},
    {"gl", 0x56}, {"kok", 0x57}, {"syr", 0x5a}, {"dv", 0x65},
};

// Sub-languages other than the default (1), by language and territory.
struct SubLanguage {
    const char* language;
    const char* territory;
    std::uint16_t sub;
};
constexpr SubLanguage kSubLanguages[] = {
    {"ar", "IQ", 2},  {"ar", "EG", 3},  {"ar", "LY", 4},  {"ar", "DZ", 5},  {"ar", "MA", 6},  {"ar", "TN", 7},
    {"ar", "OM", 8},  {"ar", "YE", 9},  {"ar", "SY", 10}, {"ar", "JO", 11}, {"ar", "LB", 12}, {"ar", "KW", 13},
    {"ar", "AE", 14}, {"ar", "BH", 15}, {"ar", "QA", 16}, {"zh", "CN", 2},  {"zh", "HK", 3},  {"zh", "SG", 4},
    {"zh", "MO", 5},  {"de", "CH", 2},  {"de", "AT", 3},  {"de", "LU", 4},  {"de", "LI", 5},  {"en", "GB", 2},
    {"en", "AU", 3},  {"en", "CA", 4},  {"en", "NZ", 5},  {"en", "IE", 6},  {"en", "ZA", 7},  {"en", "JM", 8},
    {"en", "BZ", 10}, {"en", "TT", 11}, {"en", "ZW", 12}, {"en", "PH", 13}, {"es", "MX", 2},  {"es", "GT", 4},
    {"es", "CR", 5},  {"es", "PA", 6},  {"es", "DO", 7},  {"es", "VE", 8},  {"es", "CO", 9},  {"es", "PE", 10},
    {"es", "AR", 11}, {"es", "EC", 12}, {"es", "CL", 13}, {"es", "UY", 14}, {"es", "PY", 15}, {"es", "BO", 16},
    {"es", "SV", 17}, {"es", "HN", 18}, {"es", "NI", 19}, {"es", "PR", 20}, {"fr", "BE", 2},  {"fr", "CA", 3},
    {"fr", "CH", 4},  {"fr", "LU", 5},  {"fr", "MC", 6},  {"it", "CH", 2},  {"nl", "BE", 2},  {"nn", "", 2},
    {"pt", "PT", 2},  {"sv", "FI", 2},  {"sr", "", 2},    {"bs", "", 5},    {"ms", "BN", 2},  {"ur", "IN", 2},
};

} // namespace

std::uint16_t LanguageIdFromLocale(std::string_view locale) {
    // language[_TERRITORY][.codeset][@modifier]
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t underscore = locale.find('_');
    std::string language(locale.substr(0, underscore));
    const std::string_view territory =
        underscore == std::string_view::npos ? std::string_view() : locale.substr(underscore + 1);
    std::transform(language.begin(), language.end(), language.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });

    const auto primary = std::find_if(std::begin(kPrimaryLanguages), std::end(kPrimaryLanguages),
                                      [&](const PrimaryLanguage& p) { return language == p.language; });
    if (primary == std::end(kPrimaryLanguages)) return 0;
    std::uint16_t sub = 1;
    for (const SubLanguage& s : kSubLanguages) {
        // An empty territory in the table stands for the language as a whole.
        if (language == s.language && (territory == std::string_view(s.territory) || *s.territory == '\0')) {
            sub = s.sub;
            break;
        }
    }
    return static_cast<std::uint16_t>(sub << 10 | primary->primary);
}

DynString LocaleCode(std::uint16_t languageId) {
    std::string code = "us";
    for (const LanguageRow& row : kLanguageTable) {
        if (row.id == languageId) {
            code = row.code;
            break;
        }
    }
    for (char& c : code) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    code = code.substr(0, 2);
    static constexpr std::pair<const char*, const char*> kRenames[] = {
        {"el", "gr"}, {"du", "nl"}, {"am", "us"}, {"en", "us"}, {"ja", "jp"}, {"po", "pl"}, {"c", "us"}};
    for (const auto& [from, to] : kRenames) {
        if (code == from) {
            code = to;
            break;
        }
    }
    if (code.empty()) code = "us";
    return DynString(code);
}

} // namespace vlm
