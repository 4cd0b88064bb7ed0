// IDs are written as plain numbers: other copies of the program and the code
// rely on these values, and test_ids.cpp holds resource.h's names to them.
#include "ExpectedResources.h"

#include "ResourceReader.h"

#include "res/resource.h"

#include <commctrl.h>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr DWORD kDefaultButton = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kIcon = kChild | SS_ICON;

}  // namespace

const char* const kMenuPopupName = "Main0";
const char* const kDialogFont = "MS Sans Serif";

const char* ExpectedDialog::title(LANGID language) const {
    return language == kRussian ? russian : english;
}

SIZE ExpectedDialog::size(LANGID language) const {
    return language == kRussian ? russianSize : englishSize;
}

const char* inLanguage(const ExpectedControl& control, LANGID language) {
    return language == kRussian ? control.russian : control.english;
}

const char* inLanguage(const ExpectedString& text, LANGID language) {
    return language == kRussian ? text.russian : text.english;
}

const char* inLanguage(const ExpectedMenuItem& item, LANGID language) {
    return language == kRussian ? item.russian : item.english;
}

bool sameClass(const wchar_t* actual, const char* expected) {
    // Class names are case-insensitive; windres stores them in capitals.
    return CompareStringOrdinal(actual, -1, fromUtf8(expected).c_str(), -1, TRUE) == CSTR_EQUAL;
}

void PrintTo(const ExpectedDialog& dialog, std::ostream* out) {
    *out << "dialog " << dialog.id;
}

const std::vector<ExpectedDialog>& expectedDialogs() {
    static const std::vector<ExpectedDialog> dialogs = {
        {101, "Tolvaran", "Tolvaran", {231, 46}, {249, 47},
         {
             {1, "Button", kDefaultButton, "OK", "ОК"},
             {-1, "Static", kIcon, "#102", "#102"},
             {-1, "Static", kChild | SS_LEFT | WS_GROUP, "&User name", "&Владелец"},
             {1004, "Edit", kChild | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, "", ""},
             {1006, "Button", kButton, "&About...", "&О Программе..."},
         }},
        {104, "Shared Clipboard", "Предоставление буфера обмена", {241, 105}, {252, 106},
         {
             {1000, "Button", kChild | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP,
              "&Can shared for use another users", "&Можно использовать другими пользователями"},
             {1001, "Button", kChild | BS_AUTORADIOBUTTON | WS_GROUP, "&All users", "&Всем пользователям"},
             {1002, "Button", kChild | BS_AUTORADIOBUTTON, "&Selected", "&Только выбранным"},
             {1003, "SysListView32",
              kChild | LVS_REPORT | LVS_SORTASCENDING | LVS_NOSORTHEADER | WS_BORDER | WS_GROUP | WS_TABSTOP, "", ""},
             {1, "Button", kDefaultButton | WS_GROUP, "OK", "ОК"},
             {2, "Button", kButton, "Cancel", "Отмена"},
         }},
        {109, "About Tolvaran", "O программе Tolvaran", {237, 87}, {237, 87},
         {
             {-1, "Static", kIcon, "#102", "#102"},
             {-1, "Static", kChild | SS_CENTER, "Tolvaran Version 2.01", "Tolvaran Версия 2.01"},
             {-1, "Static", kChild | SS_CENTER, "Copyright © Quilnor", "Авторские права © Quilnor"},
             {1014, "Button", kButton, "&e-mail: " MAKER_EMAIL, "&e-mail: " MAKER_EMAIL},
             {1015, "Button", kButton, "&" MAKER_WEB_PAGE, "&" MAKER_WEB_PAGE},
             {1, "Button", kDefaultButton | WS_GROUP, "OK", "ОК"},
         }},
        {110, "Get shared clipboard", "Взять буфер обмена", {305, 124}, {305, 124},
         {
             {1, "Button", kDefaultButton, "OK", "ОК"},
             {2, "Button", kButton, "Cancel", "Отмена"},
             {1009, "SysTreeView32",
              kChild | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP |
                  WS_BORDER | WS_TABSTOP,
              "", ""},
         }},
        {111, "Get Clipboard", "Получение буфера обмена", {186, 86}, {186, 86},
         {
             {2, "Button", kDefaultButton, "Cancel", "Отмена"},
             {1010, "msctls_progress32", kChild | WS_BORDER, "", ""},
             {1011, "Static", kChild | SS_CENTER | WS_GROUP, "%d%%", "%d%%"},
         }},
        {112, "Clear clipboard stack", "Очистка стека буферов обмена", {222, 154}, {222, 154},
         {
             {1, "Button", kDefaultButton, "&Delete", "&Удалить"},
             {2, "Button", kButton, "&Close", "&Закрыть"},
             {1003, "SysListView32",
              kChild | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_BORDER |
                  WS_TABSTOP,
              "", ""},
         }},
    };
    return dialogs;
}

const std::vector<ExpectedString>& expectedStrings() {
    static const std::vector<ExpectedString> strings = {
        {101, "User", "Пользователь"},
        {102, "Computer", "Компьютер"},
        {103, "Tolvaran", "Tolvaran"},
        {104, "Clipboard is Empty", "Буфер обмена пустой"},
        {105, "Picture", "Картинка"},
        {106, "Unknown format", "Неизвестный формат"},
        // The double space is part of the text.
        {109, "You must select one  or more users\nor set chek on All users",
         "Вы должны выбрать одного или более пользователей\nили отметить Всех пользователей"},
        {110, "Not shared clipboard in the network", "Нету предоставленных буферов обмена в сети"},
        {111, "Fail to get clipboard from the network.\nTry it once again",
         "Ошибка при получении буфера обмена по сети.\nПопробуйте ещо раз"},
        {112, "%d x %d (%d bit)", "%d x %d (%d бит)"},
        {113, "&Kill Static", "&Убить статический"},
        {114,
         "Tolvaran could not read its saved state in\n%1\n\n%2\n\nThe file is left as it is. Until Tolvaran "
         "starts again, changes are saved to\n%3",
         "Tolvaran не смог прочитать сохранённое состояние из\n%1\n\n%2\n\nФайл оставлен как есть. До "
         "следующего запуска Tolvaran изменения сохраняются в\n%3"},
        {115, "Tolvaran could not save its state to\n%1\n\n%2\n\nIt tries again at the next change.",
         "Tolvaran не смог сохранить состояние в\n%1\n\n%2\n\nПри следующем изменении он попробует снова."},
        {116,
         "Tolvaran goes on from the changes it saved to\n%1\nwhile its saved state could not be read. The older "
         "state is kept in\n%2",
         "Tolvaran продолжает с изменений, сохранённых в\n%1\nпока сохранённое состояние нельзя было прочитать. "
         "Прежнее состояние сохранено в\n%2"},
    };
    return strings;
}

const std::vector<ExpectedMenuItem>& expectedMenuItems() {
    static const std::vector<ExpectedMenuItem> items = {
        {40001, "&Properties...", "&Свойства..."},
        {0, "", ""},
        {40002, "&Add Button", "&Добавить кнопку"},
        {40003, "&Close Button", "&Убрать кнопку"},
        {40021, "&Activate Button", "&Активизировать кнопку"},
        {0, "", ""},
        {40023, "Add &Static", "Добавить с&татический"},
        {0, "", ""},
        {40004, "S&hare...", "&Предоставить..."},
        {40006, "&Get...", "&Взять..."},
        {0, "", ""},
        {40027, "C&lear stack...", "&Очистить стек..."},
        {0, "", ""},
        {40005, "&Exit", "&Выход"},
    };
    return items;
}
