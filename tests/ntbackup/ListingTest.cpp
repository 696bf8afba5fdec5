// The progress of an archive: files done at each checkpoint of the archive tar,
// the same as counting every member's end, while only what lies ahead is kept.
#include <gtest/gtest.h>

#include <vector>

#include "ntbackup/Listing.h"

namespace kelvaro::ntbackup::test {
namespace {

constexpr std::uint64_t kStep = Listing::kCheckpoint;

struct Member {
    std::uint64_t size;
    bool directory = false;
};

struct ListingCase {
    const char* name;
    std::vector<Member> members;
};

class ListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingTest, CountsAtEveryCheckpointAsEveryMemberEndTells) {
    Listing listing;
    struct End {
        std::uint64_t stream, files, bytes;
    };
    std::vector<End> ends;  // what the listing once kept for each member
    std::uint64_t stream = 0, files = 0, bytes = 0;
    for (const auto& m : GetParam().members) {
        MemberLine line;
        line.size = m.size;
        line.directory = m.directory;
        line.kind = m.directory ? MemberKind::Directory : MemberKind::File;
        listing.add(line);
        stream += 512 + (m.size + 511) / 512 * 512;
        if (!m.directory) ++files, bytes += m.size;
        ends.push_back({stream, files, bytes});
    }
    EXPECT_EQ(listing.files(), files);
    EXPECT_EQ(listing.bytes(), bytes);
    // The archive goes forward one checkpoint at a time, and past the end.
    for (std::uint64_t at = 0; at <= stream + 2 * kStep; at += kStep) {
        Counts want;
        for (const auto& e : ends)
            if (e.stream <= at) want = {e.files, e.bytes};
        const Counts got = listing.doneAt(at);
        EXPECT_EQ(got.files, want.files) << "at " << at;
        EXPECT_EQ(got.bytes, want.bytes) << "at " << at;
        listing.reached(at);
        EXPECT_EQ(listing.doneAt(at).files, want.files) << "asked again at " << at;
    }
}

std::vector<Member> many(std::size_t n, std::uint64_t size) { return std::vector<Member>(n, Member{size}); }

std::vector<Member> endingOnCheckpoints() {
    // Each file ends exactly where a checkpoint is: it counts there.
    return {{kStep - 512}, {kStep - 512}, {0, true}, {kStep - 1024}, {3 * kStep - 512}};
}

std::vector<Member> mixed() {
    std::vector<Member> m;
    for (std::uint64_t i = 0; i < 5000; ++i) m.push_back({i % 97 == 0 ? i * 7919 : i % 13, i % 50 == 0});
    return m;
}

INSTANTIATE_TEST_SUITE_P(Shapes, ListingTest,
                         ::testing::Values(ListingCase{"Empty", {}},
                                           ListingCase{"ManyEmptyFiles", many(20000, 0)},
                                           ListingCase{"LargeFiles", many(7, 5 * kStep + 3)},
                                           ListingCase{"EndingOnCheckpoints", endingOnCheckpoints()},
                                           ListingCase{"Mixed", mixed()}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kelvaro::ntbackup::test
