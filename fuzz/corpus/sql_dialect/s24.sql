select distinct postendtype from xact where server = 
