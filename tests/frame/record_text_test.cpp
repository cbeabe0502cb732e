#include <gtest/gtest.h>

#include "frame/record_text.h"

namespace {

using nebrin::frame::FieldText;
using nebrin::frame::ParamText;
using nebrin::frame::SetField;

TEST(RecordText, ReadStopsAtCapacityWhenTheHostLeftNoTerminator) {
  struct {
    NebrinChar field[5];
    NebrinChar after[3];
  } memory = {{u'a', u'b', u'c', u'd', u'e'}, {u'X', u'Y', 0}};
  EXPECT_EQ(FieldText(memory.field), u"abcde");
}

TEST(RecordText, WriteCutsToCapacityAndNeverPassesIt) {
  struct {
    NebrinChar field[5];
    NebrinChar guard[2];
  } memory = {{}, {u'G', u'G'}};
  SetField(memory.field, u"0123456789");
  EXPECT_EQ(FieldText(memory.field), u"0123");
  EXPECT_EQ(memory.field[4], 0);
  EXPECT_EQ(memory.guard[0], u'G');

  SetField(memory.field, u"ab");
  EXPECT_EQ(FieldText(memory.field), u"ab");
}

TEST(RecordText, NullParameterReadsAsEmpty) {
  EXPECT_EQ(ParamText(nullptr), u"");
  NebrinChar text[] = u"name";
  EXPECT_EQ(ParamText(text), u"name");
}

}  // namespace
