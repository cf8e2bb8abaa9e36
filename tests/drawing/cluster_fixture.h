#pragma once

#include "document/carinova_doc.h"
#include "platform/scripted_interaction.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A document whose cluster members carry hand-made control points, so that every coordinate of
// the overlay can be worked out on paper. The members are fitted as usual first (the document
// only admits fitted members); then their cluster curves are replaced.
class ClusterFixture : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    std::vector<CSpecimenRecord*> members;

    // Four intervals: the fitted curves have as many points as the hand-made ones below.
    ClusterFixture() { doc.GetClusterParameter().ControlPointsCnt = 4; }

    // A lens 2000 long and 800 high: m2 = (-1000, 0), m1 = (1000, 0), three inner points each side.
    static std::vector<FPoint> Ventral(FPoint shift = {}) {
        return {FPoint(-1000, 0) + shift, FPoint(-500, -400) + shift, FPoint(0, -400) + shift,
                FPoint(500, -400) + shift, FPoint(1000, 0) + shift};
    }
    static std::vector<FPoint> Dorsal(FPoint shift = {}) {
        return {FPoint(1000, 0) + shift, FPoint(500, 400) + shift, FPoint(0, 400) + shift,
                FPoint(-500, 400) + shift, FPoint(-1000, 0) + shift};
    }

    CSpecimenRecord* AddMember(const std::string& name, FPoint shift = {}, bool scale = true) {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = name;
        specimen->PathName = "/data/" + name + ".tps";
        specimen->ScaleSpecified = scale;
        specimen->Contour = shapes::Ellipse(300.0, 120.0, 8, 500, 400, 180, 3);
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        CSpecimenRecord* raw = record.get();
        doc.AddSpecimenRecord(std::move(record));
        doc.InsertIntoCluster(raw);
        EXPECT_TRUE(raw->HasClusterApproximation()) << name;
        if (raw->HasClusterApproximation()) {
            raw->GetClusterApproximation()->ApproxLower.ControlPoints = Ventral(shift);
            raw->GetClusterApproximation()->ApproxUpper.ControlPoints = Dorsal(shift);
        }
        members.push_back(raw);
        return raw;
    }
};
