namespace quirindo::ui {}
