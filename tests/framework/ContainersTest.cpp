#include <kel/framework/KelHashTable.h>
#include <kel/framework/list.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

struct Item {
  intptr_t id;
};
intptr_t GetKey(Item* item) {
  return item->id;
}
int Compare(Item* a, Item* b) {
  return a->id == b->id ? 0 : 1;
}

TEST(HashTable, EqualElementsAreNotAddedAndRemoveTheHeldOne) {
  KelHashTable table(&GetKey, &Compare, 4);
  Item a{10}, b{20}, sameAsA{10};
  EXPECT_EQ(table.Insert(&a), &a);
  EXPECT_EQ(table.Insert(&b), &b);
  // An equal element is not added: the one held is answered.
  EXPECT_EQ(table.Insert(&sameAsA), &a);
  EXPECT_EQ(table.Insert(nullptr), nullptr);
  EXPECT_EQ(table.Size(), 2);
  // (Finding by key, and what removal leaves: the growth test below and the
  // controllers' Rep tables.)
  EXPECT_EQ(table.Remove(&sameAsA), &a) << "removal finds the equal element";
  EXPECT_EQ(table.Remove(&a), nullptr);
}

TEST(HashTable, KeysDifferingOnlyInTheUpperHalfStayApart) {
  static_assert(sizeof(intptr_t) == 8, "64-bit keys");
  KelHashTable table(&GetKey, &Compare, 8);
  std::vector<Item> items;
  for (intptr_t high = 0; high < 64; ++high) items.push_back({(high << 32) | 0x1234});
  for (Item& i : items) EXPECT_EQ(table.Insert(&i), &i);
  EXPECT_EQ(table.Size(), 64);
  for (Item& i : items) EXPECT_EQ(table.KeyLocate(i.id), &i);
  EXPECT_EQ(table.KeyLocate(0x1234 | (intptr_t{64} << 32)), nullptr);
}

TEST(HashTable, GrowsAndIteratesOverEveryElementOnce) {
  KelHashTable table(&GetKey, &Compare, 2);
  std::vector<Item> items;
  for (int i = 0; i < 1000; ++i) items.push_back({i * 7});
  for (Item& i : items) table.Insert(&i);
  ASSERT_EQ(table.Size(), 1000);

  // Removing the element just answered, here every other one, disturbs nothing.
  std::set<void*> seen;
  int start = 1, position = 0, removed = 0;
  while (void* e = table.Next(start, position)) {
    EXPECT_TRUE(seen.insert(e).second) << "visited twice";
    if (static_cast<Item*>(e)->id % 2 == 0) removed += table.Remove(e) != nullptr;
  }
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_EQ(table.Size(), 1000 - removed);
  for (Item& i : items) EXPECT_EQ(table.KeyLocate(i.id) != nullptr, i.id % 2 != 0);
}

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
