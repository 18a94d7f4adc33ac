#ifndef VFIGURERENDERDATA_H
#define VFIGURERENDERDATA_H

// What the renderer needs of one figure, copied in the GUI thread when the chart takes its
// snapshot, so that the render thread never reads the figure object itself.
class VFigureRenderData
{
public:
    virtual ~VFigureRenderData();
    // 0 a vertical line, 1 a horizontal line.
    virtual int kind() const = 0;
};

#endif
