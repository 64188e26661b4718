// The script host's dates: literals, the Date subtype and its text, date
// arithmetic across month ends and leap years, parts, names and
// conversions, in the C locale (US English).
#include <gtest/gtest.h>

#include "support/script_run.h"
#include "support/test_files.h"

namespace {

namespace zt = zidevuv10::testing;
using zt::runScriptText;
using zt::ScriptResult;

class ScriptDates : public ::testing::Test {
 protected:
  std::string printed(std::string_view script) {
    const ScriptResult r = runScriptText(script);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.errors, "");
    return r.out;
  }

  zt::ScopedEnv locale_{"LC_ALL", "C"};
};

TEST_F(ScriptDates, LiteralsAreDatesThatPrintCompareAndAddAsDates) {
  EXPECT_EQ(printed("d = #11/1/2006#\nt = #2006-11-01 13:45#\n"
                    "Print d, t, #1:45:30 PM#, #12/30/1899#, CDate(0.25)\n"
                    "Print VarType(d), TypeName(t), VarType(d + 1), TypeName(t - d), t - d\n"
                    "Print d + 1, d - 1, 1 + d, d < t, d = #2006-11-01#, t > \"11/1/2006\", d = 39022\n"
                    "Print #2/28/2004# + 1, #2/28/2005# + 1, #12/31/1999 23:59:59# + 1 / 86400\n"
                    "Print CDate(\"November 1, 2006\"), CDate(\"1-Nov-06 6:05 am\"), #1/2/1800 6:00#, #1/2/1800 6:00# + 1\n"),
            "11/1/2006 11/1/2006 1:45:00 PM 1:45:30 PM 12:00:00 AM 6:00:00 AM\n"
            "7 Date 7 Double 0.572916666664241\n"
            "11/2/2006 10/31/2006 11/2/2006 True True True True\n"
            "2/29/2004 3/1/2005 1/1/2000\n"
            "11/1/2006 11/1/2006 6:05:00 AM 1/2/1800 6:00:00 AM 1/3/1800 6:00:00 AM\n");
}

TEST_F(ScriptDates, DateAddAndDateSerialCarryAcrossMonthEndsAndLeapYears) {
  EXPECT_EQ(printed("Print DateAdd(\"m\", 1, #1/31/2004#), DateAdd(\"m\", 1, #1/31/2005#), "
                    "DateAdd(\"m\", -1, #3/31/2004#), DateAdd(\"yyyy\", 1, #2/29/2004#), DateAdd(\"q\", 1, #11/30/2004#)\n"
                    "Print DateAdd(\"d\", 1, #2/28/2000#), DateAdd(\"d\", 1, #2/28/1900#), DateAdd(\"ww\", 2, #12/25/2004#), "
                    "DateAdd(\"h\", 25, #12/31/2004 1:00#), DateAdd(\"n\", -90, #3/1/2004#), DateAdd(\"s\", 61, #1/1/2004#)\n"
                    "Print DateSerial(2004, 2, 30), DateSerial(2004, 13, 1), DateSerial(2004, 1, 0), DateSerial(5, 3, 1), "
                    "DateSerial(2004, 0, 31), TimeSerial(25, -30, 0), TimeSerial(0, 0, 59)\n"),
            "2/29/2004 2/28/2005 2/29/2004 2/28/2005 2/28/2005\n"
            "2/29/2000 3/1/1900 1/8/2005 1/1/2005 2:00:00 AM 2/29/2004 10:30:00 PM 1/1/2004 12:01:01 AM\n"
            "3/1/2004 1/1/2005 12/31/2003 3/1/2005 12/31/2003 12/31/1899 12:30:00 AM 12:00:59 AM\n");
  EXPECT_EQ(runScriptText("x = DateAdd(\"yyyy\", 1, #12/31/9999#)\n").errors,
            "Error 5 in test.vbs: Invalid procedure call or argument (ScriptHost), line 1\n");
  EXPECT_EQ(runScriptText("x = DateAdd(\"fortnight\", 1, Now)\n").errors,
            "Error 5 in test.vbs: Invalid procedure call or argument (ScriptHost), line 1\n");
}

TEST_F(ScriptDates, DifferencesPartsAndNames) {
  EXPECT_EQ(printed("Print DateDiff(\"d\", #2/28/2004#, #3/1/2004#), DateDiff(\"m\", #1/31/2004#, #2/1/2004#), "
                    "DateDiff(\"yyyy\", #12/31/2003#, #1/1/2004#), DateDiff(\"ww\", #11/4/2006#, #11/5/2006#), "
                    "DateDiff(\"w\", #11/4/2006#, #11/5/2006#), DateDiff(\"h\", #1:59#, #2:01#), "
                    "DateDiff(\"d\", #3/1/2004#, #2/28/2004#), DateDiff(\"q\", #3/31/2004#, #4/1/2004#)\n"
                    "Print DatePart(\"y\", #12/31/2004#), DatePart(\"q\", #11/1/2006#), DatePart(\"ww\", #1/1/2005#), "
                    "DatePart(\"ww\", #1/1/2005#, vbMonday, 2), DatePart(\"w\", #11/1/2006#, 2), "
                    "Weekday(#11/1/2006#), Weekday(#2/29/2004#)\n"
                    "Print Year(#11/1/2006 13:45:10#), Month(#11/1/2006#), Day(#11/1/2006#), "
                    "Hour(#11/1/2006 13:45:10#), Minute(#13:45:10#), Second(#13:45:10#), TypeName(Year(Now))\n"
                    "Print WeekdayName(4), WeekdayName(1, True, 2), MonthName(11), MonthName(2, True)\n"
                    "Print FormatDateTime(#11/1/2006 13:45#, vbLongDate) & \"|\" & FormatDateTime(#11/1/2006 13:45#, 2) & "
                    "\"|\" & FormatDateTime(#11/1/2006 13:05#, 3) & \"|\" & FormatDateTime(#11/1/2006 9:05#, 4)\n"),
            "2 1 1 1 0 1 -2 1\n366 4 1 53 3 4 1\n2006 11 1 13 45 10 Integer\n"
            "Wednesday Mon November Feb\n"
            "Wednesday, November 1, 2006|11/1/2006|1:05:00 PM|09:05\n");
}

TEST_F(ScriptDates, ConversionsAndTheClock) {
  EXPECT_EQ(printed("Print IsDate(\"2/29/2004\"), IsDate(\"2/29/2005\"), IsDate(\"13:61\"), IsDate(#1/1/2000#), "
                    "IsDate(38000), IsDate(\"soon\"), IsDate(\"31/12/2004\")\n"
                    "Print DateValue(\"11/1/2006 13:45\"), TimeValue(\"11/1/2006 13:45\"), TypeName(DateValue(\"1/1/2000\"))\n"
                    "Print TypeName(Now), TypeName(Date), TypeName(Time), TypeName(Timer), Now >= Date, "
                    "Date + Time - Now < 1 / 1440, Timer >= 0 And Timer < 86400, Year(Now) >= 2024\n"),
            "True False False True False False True\n11/1/2006 1:45:00 PM Date\n"
            "Date Date Date Single True True True True\n");
  EXPECT_EQ(runScriptText("x = CDate(\"someday\")\n").errors, "Error 13 in test.vbs: Type mismatch (ScriptHost), line 1\n");
}

}  // namespace
