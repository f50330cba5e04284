#include "platform/Classes.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class TSample : public TPersistent {};
class TSampleChild : public TSample {};

TEST(Classes, ClassNameHasNoNamespaceAndFollowsTheDynamicType)
{
    TSampleChild child;
    const TObject &asBase = child;
    EXPECT_EQ(asBase.ClassName(), "TSampleChild");
    EXPECT_EQ(TComponent().ClassName(), "TComponent");
}

TEST(Classes, APersistentWithoutAssignToRefusesToCopy)
{
    TSample source, target;
    try {
        target.Assign(source);
        FAIL() << "no exception";
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TSample to a TSample");
    }
}

TEST(Classes, ComponentKeepsItsOwnerNameAndTag)
{
    TComponent owner;
    TComponent part(&owner);
    part.Name = "Parser";
    part.Tag = 3;
    EXPECT_EQ(part.Owner(), &owner);
    EXPECT_EQ(owner.Owner(), nullptr);
    EXPECT_EQ(part.Tag, 3);
}

} // namespace
} // namespace orv
