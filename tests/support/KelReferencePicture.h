// Pictures compared as renderers allow: a channel may differ by 24 and one
// pixel in 200 may differ more, so that an edge pixel placed differently
// passes and a missing or misplaced part does not. On a mismatch
// <name>.actual.png and <name>.diff.png (differing pixels in red over the
// faded expected picture) go to the test's output folder.
#pragma once

#include <string>

class KelPixelImage;

namespace keltest {

void ExpectLike(const KelPixelImage& actual, const KelPixelImage& expected,
                const std::string& name);
// Against the reference tests/data/<reference>.png. KEL_UPDATE_REFERENCES=1
// rewrites the reference from `actual` instead: look at it before committing.
void ExpectLikeReference(const KelPixelImage& actual, const std::string& reference);

}  // namespace keltest
