#include <algorithm>
#include <iterator>
#include <set>

#include "platform/core/window_styles.h"
#include "tools/rescomp/script_expression.h"
#include "tools/rescomp/statement_parsers.h"

namespace {

constexpr std::int64_t kShortMin = -32768;
constexpr std::int64_t kShortMax = 32767;

// A control statement of the short form: its window class, whether it starts
// with a text, and the styles it has before the script adds its own.
struct ShortControlForm {
    const char* keyword;
    const char16_t* className;
    bool hasText;
    DWORD defaultStyle;
};

const ShortControlForm kShortForms[] = {
    {"LTEXT", u"Static", true, SS_LEFT | WS_GROUP},
    {"CTEXT", u"Static", true, SS_CENTER | WS_GROUP},
    {"RTEXT", u"Static", true, SS_RIGHT | WS_GROUP},
    {"PUSHBUTTON", u"Button", true, BS_PUSHBUTTON | WS_TABSTOP},
    {"DEFPUSHBUTTON", u"Button", true, BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"GROUPBOX", u"Button", true, BS_GROUPBOX},
    {"CHECKBOX", u"Button", true, BS_CHECKBOX | WS_TABSTOP},
    {"AUTOCHECKBOX", u"Button", true, BS_AUTOCHECKBOX | WS_TABSTOP},
    {"RADIOBUTTON", u"Button", true, BS_RADIOBUTTON},
    {"AUTORADIOBUTTON", u"Button", true, BS_AUTORADIOBUTTON},
    {"EDITTEXT", u"Edit", false, ES_LEFT | WS_BORDER | WS_TABSTOP},
};

// Every control statement starts from a visible child window.
constexpr DWORD kControlBaseStyle = WS_CHILD | WS_VISIBLE;

short ReadCoordinate(TokenCursor& cursor, const std::string& what) {
    return static_cast<short>(ReadNumberInRange(cursor, what, kShortMin, kShortMax));
}

short ReadExtent(TokenCursor& cursor, const std::string& what) {
    return static_cast<short>(ReadNumberInRange(cursor, what, 0, kShortMax));
}

void ReadRectangle(TokenCursor& cursor, short& x, short& y, short& cx, short& cy) {
    x = ReadCoordinate(cursor, "x");
    cursor.ExpectSymbol(',', "after x");
    y = ReadCoordinate(cursor, "y");
    cursor.ExpectSymbol(',', "after y");
    cx = ReadExtent(cursor, "width");
    cursor.ExpectSymbol(',', "after the width");
    cy = ReadExtent(cursor, "height");
}

int ReadControlId(TokenCursor& cursor) {
    return static_cast<int>(ReadNumberInRange(cursor, "control id", -1, 0xFFFF));
}

// CONTROL text, id, class, style, x, y, cx, cy [, exstyle]
DialogControl ReadGenericControl(TokenCursor& cursor) {
    DialogControl control;
    if (cursor.Peek().kind == TokenKind::Text) {
        control.text = cursor.Next().text;
    } else {
        control.imageResourceId =
            static_cast<int>(ReadNumberInRange(cursor, "picture resource id", 1, 0xFFFF));
    }
    cursor.ExpectSymbol(',', "after the control text");
    control.id = ReadControlId(cursor);
    cursor.ExpectSymbol(',', "after the control id");
    control.className = cursor.ExpectText("the window class");
    if (control.className.empty()) cursor.Fail("the window class is empty");
    cursor.ExpectSymbol(',', "after the window class");
    control.style = ReadStyle(cursor, kControlBaseStyle, "control style");
    cursor.ExpectSymbol(',', "after the control style");
    ReadRectangle(cursor, control.x, control.y, control.cx, control.cy);
    if (cursor.SkipSymbol(',')) control.exStyle = ReadStyle(cursor, 0, "extended control style");
    return control;
}

// LTEXT "text", id, x, y, cx, cy [, style [, exstyle]] and its kin
DialogControl ReadShortControl(TokenCursor& cursor, const ShortControlForm& form) {
    DialogControl control;
    control.className = form.className;
    if (form.hasText) {
        control.text = cursor.ExpectText("the control text");
        cursor.ExpectSymbol(',', "after the control text");
    }
    control.id = ReadControlId(cursor);
    cursor.ExpectSymbol(',', "after the control id");
    ReadRectangle(cursor, control.x, control.y, control.cx, control.cy);
    control.style = kControlBaseStyle | form.defaultStyle;
    if (cursor.SkipSymbol(',')) {
        control.style = ReadStyle(cursor, control.style, "control style");
        if (cursor.SkipSymbol(',')) control.exStyle = ReadStyle(cursor, 0, "extended control style");
    }
    return control;
}

DialogControl ReadControl(TokenCursor& cursor) {
    if (cursor.IsKeyword("CONTROL")) {
        cursor.Next();
        return ReadGenericControl(cursor);
    }
    for (const ShortControlForm& form : kShortForms) {
        if (cursor.IsKeyword(form.keyword)) {
            cursor.Next();
            return ReadShortControl(cursor, form);
        }
    }
    cursor.Fail("expected a control statement (CONTROL, LTEXT, CTEXT, RTEXT, PUSHBUTTON, "
                "DEFPUSHBUTTON, GROUPBOX, CHECKBOX, AUTOCHECKBOX, RADIOBUTTON, AUTORADIOBUTTON, "
                "EDITTEXT) or END, found " +
                DescribeToken(cursor.Peek()));
}

// FONT pointsize, "face" [, weight [, italic [, charset]]]
void ReadFont(TokenCursor& cursor, DialogTemplate& dialog) {
    dialog.fontPointSize = static_cast<int>(ReadNumberInRange(cursor, "font size", 1, kShortMax));
    cursor.ExpectSymbol(',', "after the font size");
    dialog.fontFace = cursor.ExpectText("the font face");
    if (dialog.fontFace.empty()) cursor.Fail("the font face is empty");
    if (!cursor.SkipSymbol(',')) return;
    dialog.fontWeight = static_cast<int>(ReadNumberInRange(cursor, "font weight", 0, 1000));
    if (!cursor.SkipSymbol(',')) return;
    dialog.fontItalic = ReadNumberInRange(cursor, "italic flag", 0, 1) != 0;
    if (!cursor.SkipSymbol(',')) return;
    dialog.fontCharset = static_cast<BYTE>(ReadNumberInRange(cursor, "character set", 0, 255));
}

bool SkipMemoryOption(TokenCursor& cursor) {
    for (const char* option : {"DISCARDABLE", "MOVEABLE", "FIXED", "PURE", "IMPURE", "PRELOAD",
                               "LOADONCALL", "SHARED", "NONSHARED"}) {
        if (cursor.IsKeyword(option)) {
            cursor.Next();
            return true;
        }
    }
    return false;
}

}  // namespace

DialogTemplate ReadDialogStatement(TokenCursor& cursor, int id) {
    DialogTemplate dialog;
    dialog.id = id;
    while (SkipMemoryOption(cursor)) {
    }
    ReadRectangle(cursor, dialog.x, dialog.y, dialog.cx, dialog.cy);
    if (cursor.SkipSymbol(',')) ReadNumber(cursor, "help id");  // kept by no one

    // Without a STYLE line a dialog is a bordered pop-up with a system menu;
    // CAPTION and FONT add the bits that go with them.
    DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    DWORD addedStyle = 0;
    std::set<std::string> seen;
    while (!cursor.IsBegin()) {
        const Token& keyword = cursor.Peek();
        std::string name;
        for (const char* option : {"STYLE", "EXSTYLE", "CAPTION", "FONT"}) {
            if (cursor.IsKeyword(option)) name = option;
        }
        if (name.empty()) {
            cursor.Fail("expected STYLE, EXSTYLE, CAPTION, FONT or BEGIN in the dialog, found " +
                        DescribeToken(keyword));
        }
        if (!seen.insert(name).second) cursor.Fail(name + " is given twice for this dialog");
        cursor.Next();
        if (name == "STYLE") {
            style = ReadStyle(cursor, 0, "dialog style");
        } else if (name == "EXSTYLE") {
            dialog.exStyle = ReadStyle(cursor, 0, "extended dialog style");
        } else if (name == "CAPTION") {
            dialog.caption = cursor.ExpectText("the caption");
            addedStyle |= WS_CAPTION;
        } else {
            ReadFont(cursor, dialog);
            addedStyle |= DS_SETFONT;
        }
    }
    dialog.style = style | addedStyle;
    cursor.ExpectBegin("to start the controls");

    std::set<int> controlIds;
    while (!cursor.IsEnd()) {
        if (cursor.AtEnd()) cursor.Fail("the dialog's control list has no END");
        const SourceLocation where = cursor.Peek().where;
        DialogControl control = ReadControl(cursor);
        if (control.id != IDC_STATIC && !controlIds.insert(control.id).second) {
            throw ScriptError(where, "control id " + std::to_string(control.id) +
                                         " is used twice in dialog " + std::to_string(id));
        }
        dialog.controls.push_back(std::move(control));
    }
    cursor.Next();
    return dialog;
}
