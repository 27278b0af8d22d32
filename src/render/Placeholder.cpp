// Rendering arrives with the paint cycle.
namespace quirindo::render {}
