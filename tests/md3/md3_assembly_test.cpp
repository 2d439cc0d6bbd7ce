// MD3_SetSkin and MD3_AttachToTag on loaded models.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "md3_test_files.h"

namespace {

// A name that fills a 64-byte name field, which then holds no NUL; the
// writer caps names at 63, so the tests set such fields in the record.
const std::string full_name(64, 'f');

// A loaded model with surfaces "l_legs", "twin", "twin" and tags
// "tag_torso", "twin", "twin" (frame 1 renames them "late_*").
struct Loaded {
    Md3Model model = {};
    Loaded() {
        static const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        Md3ModelData data;
        data.name = "assembly";
        const float box[3] = {0, 0, 0};
        data.frames = {Md3Writer_Frame(box, box, "a"), Md3Writer_Frame(box, box, "b")};
        data.num_tags = 3;
        for (const char *name : {"tag_torso", "twin", "twin", "late_torso", "late_1", "late_2"})
            data.tags.push_back(TestMd3_Tag(name, 0, 0, 0, identity));
        for (const char *name : {"l_legs", "twin", "twin"})
            data.surfaces.push_back(TestMd3_Triangle(name, 2));
        EXPECT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    }
    ~Loaded() { MD3_Free(&model); }
};

TEST(Md3SetSkin, FindsTheFirstExactName) {
    Loaded loaded;
    Md3Model &model = loaded.model;
    EXPECT_EQ(MD3_SetSkin("L_LEGS", &model, 5), -1);
    EXPECT_EQ(MD3_SetSkin("l_leg", &model, 5), -1);
    EXPECT_EQ(MD3_SetSkin("l_legs ", &model, 5), -1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(model.surfaces[i].has_texture, 0);
    EXPECT_EQ(MD3_SetSkin("twin", &model, 7), 1);
    EXPECT_EQ(model.surfaces[2].has_texture, 0);
    EXPECT_EQ(MD3_SetSkin("l_legs", &model, 0), 0);   // texture 0 is stored like any other
    EXPECT_EQ(model.surfaces[0].has_texture, 1);
    EXPECT_EQ(model.surfaces[0].texture, 0u);
    EXPECT_EQ(MD3_SetSkin("l_legs", &model, 9), 0);
    EXPECT_EQ(model.surfaces[0].texture, 9u);
    EXPECT_EQ(model.surfaces[1].texture, 7u);
    std::memcpy(model.surfaces[2].header.name, full_name.data(), 64);
    EXPECT_EQ(MD3_SetSkin(full_name.substr(0, 63).c_str(), &model, 4), -1);
    EXPECT_EQ(MD3_SetSkin(full_name.c_str(), &model, 4), 2);
}

TEST(Md3AttachToTag, LinksAtTheFirstFrameZeroTag) {
    Loaded parent, child, other;
    Md3Model &model = parent.model;
    EXPECT_EQ(MD3_AttachToTag("late_torso", &model, &child.model), -1);   // a frame-1 name
    EXPECT_EQ(MD3_AttachToTag("Tag_torso", &model, &child.model), -1);
    EXPECT_EQ(MD3_AttachToTag("twin", &model, &child.model), 1);
    EXPECT_EQ(model.links[1], &child.model);
    EXPECT_EQ(model.links[2], nullptr);
    EXPECT_EQ(MD3_AttachToTag("twin", &model, &other.model), 1);        // replaces
    EXPECT_EQ(model.links[1], &other.model);
    EXPECT_EQ(MD3_AttachToTag("twin", &model, nullptr), 1);             // clears
    EXPECT_EQ(model.links[1], nullptr);
    std::memcpy(model.tags[2].name, full_name.data(), 64);
    EXPECT_EQ(MD3_AttachToTag(full_name.substr(0, 63).c_str(), &model, &child.model), -1);
    EXPECT_EQ(MD3_AttachToTag(full_name.c_str(), &model, &child.model), 2);
    Md3Model empty = {};
    EXPECT_EQ(MD3_AttachToTag("tag_torso", &empty, &child.model), -1);
    EXPECT_EQ(MD3_SetSkin("l_legs", &empty, 1), -1);
}

TEST(Md3AttachToTag, RefusesLinksThatMakeACycle) {
    Loaded legs, torso, head, spare;
    EXPECT_EQ(MD3_AttachToTag("tag_torso", &legs.model, &legs.model), -1);
    EXPECT_EQ(legs.model.links[0], nullptr);
    ASSERT_EQ(MD3_AttachToTag("tag_torso", &legs.model, &torso.model), 0);
    ASSERT_EQ(MD3_AttachToTag("twin", &torso.model, &head.model), 1);
    // head -> legs would close legs -> torso -> head -> legs.
    EXPECT_EQ(MD3_AttachToTag("twin", &head.model, &legs.model), -1);
    EXPECT_EQ(MD3_AttachToTag("tag_torso", &torso.model, &legs.model), -1);
    EXPECT_EQ(head.model.links[1], nullptr);
    EXPECT_EQ(torso.model.links[0], nullptr);
    // Sharing a model under two parents is no cycle.
    EXPECT_EQ(MD3_AttachToTag("tag_torso", &spare.model, &head.model), 0);
    EXPECT_EQ(MD3_AttachToTag("twin", &legs.model, &head.model), 1);
}

}  // namespace
