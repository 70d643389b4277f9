#include <kel/framework/list.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

int a, b, c, d, e;

TEST(List, RemovalKeepsTheCursorOnTheNextElement) {
  list<int*> l;
  for (int* p : {&a, &b, &c, &d}) l.Append(p);
  EXPECT_EQ(l.Find(&c), 2);
  EXPECT_EQ(l.Find(&e), -1);
  EXPECT_EQ(l.AppendUnique(&b), 0);
  // Cursor at 3 (three elements taken): removing index 1 moves it to 2,
  // removing an index at or after it leaves it.
  int* x;
  l.InitIteration();
  for (int i = 0; i < 3; ++i) l.Next(x);
  l.Remove(&b);
  EXPECT_EQ(l.Cursor(), 2);
  l.Remove(&d);
  EXPECT_EQ(l.Cursor(), 2);
  EXPECT_EQ(l.Remove(&e), 0);
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l[1], &c);

  // A walk that removes the element just visited, or an earlier one, visits
  // every element once.
  list<int*> m;
  for (int* p : {&a, &b, &c, &d}) m.Append(p);
  std::vector<int*> seen;
  m.InitIteration();
  while (m.Next(x)) {
    seen.push_back(x);
    if (x == &b) m.Remove(&b);
    if (x == &c) m.Remove(&a);
  }
  EXPECT_EQ(seen, (std::vector<int*>{&a, &b, &c, &d}));
  EXPECT_EQ(m.Count(), 2);
}

}  // namespace
