// Scripts with one fault each: the compiler must name the file and line of
// the fault and say what is wrong.

#include <gtest/gtest.h>

#include <string>

#include "tools/rescomp/resource_script.h"

namespace {

const std::string kBadDir = std::string(TEVORIN_TEST_DATA_DIR) + "/rescomp/bad/";

struct BadScript {
    const char* script;
    const char* faultyFile;  // the file the error names: the script or a header it includes
    int line;
    const char* message;     // a part of the message
};

const BadScript kBadScripts[] = {
    {"unterminated_text.rc", "unterminated_text.rc", 3, "text is not closed with a double quote"},
    {"unknown_style_name.rc", "unknown_style_name.rc", 2, "unknown name 'WS_POPUPP'"},
    {"undefined_resource_name.rc", "undefined_resource_name.rc", 2, "'IDD_MISSING' is not defined"},
    {"missing_end.rc", "missing_end.rc", 3, "control list has no END"},
    {"missing_bitmap.rc", "missing_bitmap.rc", 3, "cannot open"},
    {"damaged_bitmap.rc", "damaged_bitmap.rc", 1, "pixel data lies outside the file"},
    {"bitmap_as_icon.rc", "bitmap_as_icon.rc", 2, "not an ICO file"},
    {"duplicate_dialog.rc", "duplicate_dialog.rc", 5, "dialog 100 is defined twice"},
    {"duplicate_control.rc", "duplicate_control.rc", 6, "control id 5 is used twice"},
    {"coordinate_out_of_range.rc", "coordinate_out_of_range.rc", 3, "x 40000 is out of range"},
    {"negative_width.rc", "negative_width.rc", 3, "width -5 is out of range"},
    {"malformed_number.rc", "malformed_number.rc", 1, "malformed number '12abc'"},
    {"invalid_utf8.rc", "invalid_utf8.rc", 4, "not valid UTF-8"},
    {"missing_include.rc", "missing_include.rc", 2, "cannot find included file 'not_there.h'"},
    {"unclosed_ifdef.rc", "unclosed_ifdef.rc", 1, "has no #endif"},
    {"conflicting_define.rc", "conflicting_define.rc", 2, "'IDD_A' is defined again with another value"},
    {"unsupported_control.rc", "unsupported_control.rc", 3, "expected a control statement"},
    {"old_dialog_form.rc", "old_dialog_form.rc", 1, "only extended dialog templates"},
    {"unknown_escape.rc", "unknown_escape.rc", 3, "unknown escape '\\q'"},
    {"missing_comma.rc", "missing_comma.rc", 3, "expected ',' after the control text"},
    {"manifest_not_one.rc", "manifest_not_one.rc", 1, "manifest is resource 1"},
    {"error_in_header.rc", "bad_ids.h", 2, "macros with parameters are not supported: 'PAIR'"},
    {"unclosed_comment.rc", "unclosed_comment.rc", 2, "comment is not closed"},
    {"style_twice.rc", "style_twice.rc", 3, "STYLE is given twice"},
    {"empty_class.rc", "empty_class.rc", 3, "the window class is empty"},
    {"version_five_parts.rc", "version_five_parts.rc", 2, "at most four parts"},
    {"unknown_resource_type.rc", "unknown_resource_type.rc", 4, "expected DIALOGEX, BITMAP, ICON"},
    {"italic_flag_two.rc", "italic_flag_two.rc", 2, "italic flag 2 is out of range"},
};

TEST(BadScripts, NameFileLineAndFault) {
    for (const BadScript& bad : kBadScripts) {
        SCOPED_TRACE(bad.script);
        const CompileResult result = CompileResourceScript(kBadDir + bad.script, {});
        EXPECT_FALSE(result.ok);
        const std::string prefix =
            kBadDir + bad.faultyFile + ":" + std::to_string(bad.line) + ": error: ";
        EXPECT_EQ(result.error.rfind(prefix, 0), 0u) << result.error;
        EXPECT_NE(result.error.find(bad.message), std::string::npos) << result.error;
        EXPECT_TRUE(result.script.dialogs.empty()) << "a failed compile hands back nothing";
    }
}

TEST(BadScripts, AMissingScriptIsAnErrorNotACrash) {
    const CompileResult result = CompileResourceScript(kBadDir + "no_such_script.rc", {});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("cannot open"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("no_such_script.rc"), std::string::npos) << result.error;
}

}  // namespace
