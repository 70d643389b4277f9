// What the 3D and 2D bags do alike, written once over the bag type: the
// volume (sphere or box), the matrix (4x4 or 3x3) and the child type differ,
// the algorithms do not.
#pragma once

#include <kel/render/KelRender.h>
#include <kel/reps/KelRepPath.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

template <class Bag>
struct KelBagOperations {
  template <class Child>
  static void AddChild(Bag& bag, Child& child, const char* who) {
    // A bag below itself would make every traversal recurse without end.
    if (child.GetChildren() && bag.IsSelfOrAncestor(child)) {
      std::fprintf(stderr, "%s: The child is the bag itself or one of its ancestors.\n", who);
      return;
    }
    bag._children.AppendUnique(&child);
    bag.AddBoundingElement(bag.ChildVolume(child));
    child.AddParent(bag);
    bag.ComputeParentsBoundingElement();
  }

  template <class Child>
  static void RemoveChild(Bag& bag, Child& child) {
    bag._children.Remove(&child);
    bag.ResetBoundingElement();
    bag.ComputeBoundingElement();
    child.RemoveParent(bag);
    bag.ComputeParentsBoundingElement();
  }

  template <class Child>
  static void ComputeBoundingElement(Bag& bag) {
    bag.ResetBoundingElement();
    for (int i = 0; i < bag._children.Count(); ++i) {
      auto* child = static_cast<Child*>(bag._children[i]);
      if (child->IsTemporyHidden()) continue;
      bag.AddBoundingElement(bag.ChildVolume(*child));
    }
    bag.ComputeParentsBoundingElement();
  }

  static void DrawChildren(Bag& bag, KelRender& render, int inside) {
    render.PushReference();
    list<KelRep*>& children = bag._children;
    children.InitIteration();
    KelRep* child = nullptr;
    int next = 0;
    while (children.Next(child)) {
      // The walk of a large assembly waits on memory: the next sibling's
      // object is fetched while this child's subtree is walked.
      if (++next < children.Count()) {
        const char* sibling = reinterpret_cast<const char*>(children[next]);
        __builtin_prefetch(sibling);
        __builtin_prefetch(sibling + 64);
      }
      child->DrawShading(render, inside);
    }
    render.PopReference();
  }

  static void DrawShading(Bag& bag, KelRender& render, int inside) {
    const unsigned char flags = bag._attributes.flags;
    if (flags & KelGraphicAttributeSet::TEMPORY_HIDDEN) return;
    int forced = 0;
    if (flags & KelGraphicAttributeSet::HIGHLIGHTED)
      forced = KelGraphicAttributeSet::HIGHLIGHT_COLOR;
    else if (flags & KelGraphicAttributeSet::SECOND_MARK)
      forced = KelGraphicAttributeSet::SECOND_MARK_COLOR;
    if (forced) render.InheritForeground(forced);

    const auto& volume = bag.GetBoundingElement();
    int visible;
    int childInside = inside;
    if (inside == 0) {
      visible = render.IsDrawable(bag._attributes, volume, static_cast<const KelRep&>(bag)) &&
                !render.IsToSmall(volume);
      if (visible) childInside = render.IsInside(volume) ? 1 : 0;
    } else {
      visible = render.IsDrawable(bag._attributes, static_cast<const KelRep&>(bag)) &&
                !render.IsToSmall(volume);
    }
    if (visible) {
      if (!bag._matrix) {
        DrawChildren(bag, render, childInside);
      } else {
        KelRender* local = render.PushMatrix(*bag._matrix);
        DrawChildren(bag, *local, childInside);
        render.PopMatrix(local);
      }
    }
    // Released on every exit, culled or not, so the siblings keep their colours.
    if (forced) render.InheritForeground(0);
  }

  static void DrawPath(Bag& bag, KelRender& render, int inside, KelRepPath& path) {
    KelRep* next = path.NextChildRep();
    if (!next) {
      render.SetMesh(0);
      render.SetEdge(1);
      render.SetOutLine(0);
      bag.DrawShading(render, inside);
      return;
    }
    if (!render.IsDrawable(bag._attributes, bag.GetBoundingElement(),
                           static_cast<const KelRep&>(bag)))
      return;
    if (!bag._matrix) {
      render.PushReference();
      next->DrawPath(render, inside, path);
      render.PopReference();
    } else {
      KelRender* local = render.PushMatrix(*bag._matrix);
      local->PushReference();
      next->DrawPath(*local, inside, path);
      local->PopReference();
      render.PopMatrix(local);
    }
  }

  template <class Child>
  static void Destroy(Bag& bag) {
    bag.DetachFromParents();
    std::vector<KelRep*> orphans;
    for (int i = 0; i < bag._children.Count(); ++i) {
      KelRep* child = bag._children[i];
      child->RemoveParent(bag);
      if (child->GetParents().Count() == 0) {
        bool known = false;
        for (KelRep* o : orphans) known = known || o == child;
        if (!known) orphans.push_back(child);
      }
    }
    bag._children.Free();
    for (KelRep* orphan : orphans) orphan->Destroy();
    delete &bag;
  }

  static void Destruct(Bag& bag) {
    for (int i = 0; i < bag._children.Count(); ++i) bag._children[i]->RemoveParent(bag);
    bag._children.Free();
    bag.DetachFromParents();
  }

  static void SetColor(Bag& bag, unsigned int c) {
    for (int i = 0; i < bag._children.Count(); ++i) bag._children[i]->SetColor(c);
  }

  static int CompareAttributes(const void* a, const void* b) {
    const KelRep* ra = *static_cast<KelRep* const*>(a);
    const KelRep* rb = *static_cast<KelRep* const*>(b);
    return std::memcmp(&ra->GetGraphicAttributeSet(), &rb->GetGraphicAttributeSet(), 4);
  }

  static void SortGraphicAttributeSet(Bag& bag) {
    list<KelRep*>& children = bag._children;
    for (int i = 0; i < children.Count(); ++i) children[i]->SortGraphicAttributeSet();
    const int n = children.Count();
    if (n < 2) return;
    std::vector<KelRep*> sorted(children.begin(), children.end());
    children.Clear();
    std::qsort(sorted.data(), sorted.size(), sizeof(KelRep*), CompareAttributes);
    for (KelRep* r : sorted) children.Append(r);
  }
};
