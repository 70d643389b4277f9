#include <kel/framework/list.h>

#include <gtest/gtest.h>

namespace {

int a, b, c, d, e, f;

TEST(List, GrowsFromZeroToFiveThenDoubles) {
  list<int*> l;
  EXPECT_EQ(l.Capacity(), 0);
  int* items[] = {&a, &b, &c, &d, &e, &f};
  for (int i = 0; i < 5; ++i) l.Append(items[i]);
  EXPECT_EQ(l.Capacity(), 5);
  l.Append(&f);
  EXPECT_EQ(l.Capacity(), 10);
  ASSERT_EQ(l.Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(l[i], items[i]) << "element " << i << " kept its place";
}

TEST(List, FindsByPointerAndRemovesWithTheCursorRule) {
  list<int*> l;
  for (int* p : {&a, &b, &c, &d}) l.Append(p);
  EXPECT_EQ(l.Find(&c), 2);
  EXPECT_EQ(l.Find(&e), -1);
  EXPECT_EQ(l.AppendUnique(&b), 0);
  EXPECT_EQ(l.Count(), 4);

  // Cursor at 3 (three elements taken): removing index 1 moves it to 2,
  // removing an index at or after it leaves it.
  l.InitIteration();
  int* x;
  for (int i = 0; i < 3; ++i) l.Next(x);
  l.Remove(&b);
  EXPECT_EQ(l.Cursor(), 2);
  l.Remove(&d);
  EXPECT_EQ(l.Cursor(), 2);
  EXPECT_EQ(l.Remove(&e), 0);
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l[0], &a);
  EXPECT_EQ(l[1], &c);
}

TEST(List, WalkSurvivesRemovalOfVisitedElement) {
  list<int*> l;
  for (int* p : {&a, &b, &c, &d}) l.Append(p);
  std::vector<int*> seen;
  int* x;
  l.InitIteration();
  while (l.Next(x)) {
    seen.push_back(x);
    if (x == &b) l.Remove(&b);  // the element just visited
    if (x == &c) l.Remove(&a);  // one visited earlier
  }
  EXPECT_EQ(seen, (std::vector<int*>{&a, &b, &c, &d}));
  EXPECT_EQ(l.Count(), 2);
}

TEST(List, CopyIsDeepAndKeepsCapacityAndCursor) {
  list<int*> l;
  for (int* p : {&a, &b, &c, &d, &e, &f}) l.Append(p);
  int* x;
  l.InitIteration();
  l.Next(x);
  list<int*> copy(l);
  EXPECT_EQ(copy.Count(), 6);
  EXPECT_EQ(copy.Capacity(), 10);
  EXPECT_EQ(copy.Cursor(), 1);
  EXPECT_NE(copy.Elements(), l.Elements());
  l.Remove(&a);
  EXPECT_EQ(copy[0], &a);

  list<int*> assigned;
  assigned.Append(&f);
  assigned = copy;
  EXPECT_EQ(assigned.Count(), 6);
  const list<int*>& same = assigned;
  assigned = same;  // self-assignment keeps the elements
  EXPECT_EQ(assigned[5], &f);
}

}  // namespace
