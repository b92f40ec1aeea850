#pragma once

#include <QString>

namespace quorvane {

// Where a picture double-clicked in the main view goes instead of a catalog:
// the shop generator's picture field while its window is shown. The catalog
// sees only this, not the generator.
class PictureTarget {
public:
    virtual ~PictureTarget() = default;

    virtual bool acceptsPictures() const = 0;
    // Puts the address into the field and brings the window forward.
    virtual void takePicture(const QString &address) = 0;
};

}  // namespace quorvane
